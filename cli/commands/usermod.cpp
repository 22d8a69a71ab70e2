// usermod: changes a user or group, with the rules of the user/group dialog.

#include "app/user_edit.h"
#include "cli/command.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_promptuserpassword = "New password of user %s";
constexpr std::string_view scli_grouppassword = "A group has no password.";

int RunUsermod(TCliContext& context, const TArguments& args) {
  const std::string& name = args.Argument("NAME");
  EditDatabaseValues(context, [&](TDatabaseProperties& values) {
    TPwdBaseUsersList& users = *values.users;
    TPwdBaseUser& target = FindUserEntry(users, name);
    TUserEditValues entry = ReadUserValues(target);
    if (args.Has("--name")) entry.name = args.Value("--name");
    ApplyUserOptions(args, users, entry, "usermod");
    if (args.Has("--password")) {
      if (entry.group) throw TUsageError(std::string(scli_grouppassword), "usermod");
      const TSecret password = context.Secrets().ReadNew(FormatMessage(scli_promptuserpassword, name));
      entry.password = TSecretText(password.Text());
      entry.retypePassword = TSecretText(password.Text());
    }
    if (const std::string problem = CheckUserValues(users, &target, entry, values.requireLogon); !problem.empty())
      throw TError(problem);
    ApplyUserValues(users, target, entry, values.requireLogon);
  });
  return 0;
}

}  // namespace

extern const TCommand kUsermodCommand = {
    {
        .name = "usermod",
        .summary = "Change a user or a group of a database.",
        .arguments = {{"DATABASE", "the database file"}, {"NAME", "the user or group to change"}},
        .options = {{"--name", "NEWNAME", "rename the user or group"},
                    {"--password", "", "set a new password for the user"},
                    kRightsOption,
                    kDescriptionOption,
                    kDisabledOption,
                    {"--enabled", "", "the user may log on again"},
                    kMemberOfOption,
                    {"--not-member-of", "GROUP", "a user leaves the group GROUP", false, true},
                    kMemberOption,
                    {"--not-member", "USER", "a group loses the member USER", false, true},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "What is not given stays as it is. The new password is asked twice on the "
                       "terminal; with --password-stdin it is the next line. The default user keeps its "
                       "name, password and description, and its rights while a user logon is required. "
                       "Needs administrator rights, and the database must keep a user with the right "
                       "Administrator. The database is saved.",
        .example = "corvane-cli usermod Private.cvd Alice --rights IUV --not-member-of Family --password",
    },
    &RunUsermod,
};

}  // namespace corvane
