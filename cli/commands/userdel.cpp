// userdel: removes a user or group from a database.

#include "app/users_list_edit.h"
#include "cli/command.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"

namespace corvane {

namespace {

int RunUserdel(TCliContext& context, const TArguments& args) {
  EditDatabaseValues(context, [&](TDatabaseProperties& values) {
    TPwdBaseUsersList& users = *values.users;
    DeleteUserEntry(users, users.IndexOf(&FindUserEntry(users, args.Argument("NAME"))));
  });
  return 0;
}

}  // namespace

extern const TCommand kUserdelCommand = {
    {
        .name = "userdel",
        .summary = "Remove a user or a group from a database.",
        .arguments = {{"DATABASE", "the database file"}, {"NAME", "the user or group to remove"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "The entry leaves its groups or members. The default user cannot be removed, and "
                       "the database must keep a user with the right Administrator; a database left with "
                       "one user loses that user's password. Needs administrator rights. The database is "
                       "saved.",
        .example = "corvane-cli userdel Private.cvd Alice",
    },
    &RunUserdel,
};

}  // namespace corvane
