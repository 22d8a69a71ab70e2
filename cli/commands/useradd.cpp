// useradd: a new user or group, with the rules of the user/group dialog.

#include "app/user_edit.h"
#include "cli/command.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_promptnewuser = "Password of the new user %s";

int RunUseradd(TCliContext& context, const TArguments& args) {
  const std::string& name = args.Argument("NAME");
  EditDatabaseValues(context, [&](TDatabaseProperties& values) {
    TPwdBaseUsersList& users = *values.users;
    TUserEditValues entry = NewUserValues(users, args.Has("--group"));
    entry.name = name;
    ApplyUserOptions(args, users, entry, "useradd");
    if (!entry.group) {
      const TSecret password = context.Secrets().ReadNew(FormatMessage(scli_promptnewuser, name));
      entry.password = TSecretText(password.Text());
      entry.retypePassword = TSecretText(password.Text());
    }
    if (const std::string problem = CheckUserValues(users, nullptr, entry, values.requireLogon); !problem.empty())
      throw TError(problem);
    AddUserEntry(users, entry, values.requireLogon);
  });
  return 0;
}

}  // namespace

extern const TCommand kUseraddCommand = {
    {
        .name = "useradd",
        .summary = "Add a user or a group to a database.",
        .arguments = {{"DATABASE", "the database file"}, {"NAME", "the name of the new user or group"}},
        .options = {{"--group", "", "add a group instead of a user"},
                    kRightsOption,
                    kDescriptionOption,
                    kDisabledOption,
                    kMemberOfOption,
                    kMemberOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description = "A new user or group starts with the rights of the default user unless --rights "
                       "is given. A user's password is asked twice on the terminal; with --password-stdin "
                       "it is the next line. Names are unique, without regard to case. Needs "
                       "administrator rights, and the database must keep a user with the right "
                       "Administrator. The database is saved.",
        .example = "corvane-cli useradd Private.cvd Alice --rights IUDV --member-of Family",
    },
    &RunUseradd,
};

}  // namespace corvane
