// The command table: every command of corvane-cli, in the order help lists them.

#include "cli/command.h"

namespace corvane {

extern const TCommand kCreateCommand;
extern const TCommand kInfoCommand;
extern const TCommand kLsCommand;
extern const TCommand kShowCommand;
extern const TCommand kAddCommand;
extern const TCommand kMkdirCommand;
extern const TCommand kPasswdCommand;
extern const TCommand kDumpCommand;
extern const TCommand kFieldsCommand;
extern const TCommand kFieldsEditCommand;
extern const TCommand kLogCommand;
extern const TCommand kExportCommand;
extern const TCommand kAttachCommand;
extern const TCommand kExtractCommand;
extern const TCommand kDetachCommand;
extern const TCommand kAttachmentsCommand;
extern const TCommand kCheckCommand;
extern const TCommand kMergeCommand;
extern const TCommand kSyncCommand;
extern const TCommand kGenerateCommand;
extern const TCommand kExpiredCommand;
extern const TCommand kDatabasesCommand;
extern const TCommand kBackupCommand;
extern const TCommand kRestoreCommand;
extern const TCommand kConfigCommand;
extern const TCommand kHelpCommand;
extern const TCommand kPropsCommand;
extern const TCommand kUsersCommand;
extern const TCommand kUseraddCommand;
extern const TCommand kUsermodCommand;
extern const TCommand kUserdelCommand;
extern const TCommand kPermCommand;
extern const TCommand kEditCommand;
extern const TCommand kRmCommand;
extern const TCommand kMvCommand;
extern const TCommand kCpCommand;
extern const TCommand kRenameCommand;
extern const TCommand kSearchCommand;
extern const TCommand kIconCommand;

const std::vector<const TCommand*>& Commands() {
  static const std::vector<const TCommand*> commands = {
      &kCreateCommand, &kInfoCommand,   &kLsCommand,   &kShowCommand, &kAddCommand,
      &kMkdirCommand,  &kPasswdCommand, &kDumpCommand,
      &kFieldsCommand, &kFieldsEditCommand,
      &kEditCommand, &kRmCommand, &kMvCommand, &kCpCommand, &kRenameCommand, &kSearchCommand, &kIconCommand,
      &kLogCommand, &kExportCommand,
      &kAttachCommand, &kExtractCommand, &kDetachCommand, &kAttachmentsCommand, &kCheckCommand, &kMergeCommand,
      &kSyncCommand, &kGenerateCommand, &kDatabasesCommand, &kExpiredCommand, &kBackupCommand, &kRestoreCommand,
      &kPropsCommand, &kUsersCommand, &kUseraddCommand, &kUsermodCommand, &kUserdelCommand, &kPermCommand,
      &kConfigCommand, &kHelpCommand,
  };
  return commands;
}

const TCommand* FindCommand(std::string_view name) {
  for (const TCommand* command : Commands())
    if (command->spec.name == name) return command;
  return nullptr;
}

}  // namespace corvane
