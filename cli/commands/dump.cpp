// dump: everything a database file holds, as JSON, for support and for
// checking that other programs read the same data.

#include <set>

#include "cli/ciphers.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/record_text.h"
#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "engine/secure_buffer.h"
#include "engine/users.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<std::uint8_t>(c) >> 4];
    hex += kDigits[static_cast<std::uint8_t>(c) & 15];
  }
  return hex;
}

class TDumper {
 public:
  TDumper(TJsonWriter& json, TPwdBase& base, bool showPasswords)
      : json_(json), base_(base), showPasswords_(showPasswords) {}

  void Database() {
    json_.BeginObject();
    json_.Member("fileName", base_.FileName);
    json_.Member("formatVersion", static_cast<int>(base_.FormatVersion));
    json_.Member("formatBuild", static_cast<int>(base_.FormatBuild));
    json_.Member("saveCounter", base_.SaveCounter);
    json_.Member("guid", base_.Guid.ToString());
    json_.Member("name", Text(base_.Name));
    json_.Member("description", Text(base_.Description));
    json_.Member("ciphers", CipherNames(base_.Algorithms));
    json_.Key("cipherIds").BeginArray();
    for (const char id : base_.Algorithms) json_.Number(std::int64_t{static_cast<std::uint8_t>(id)});
    json_.EndArray();
    json_.Member("requireLogon", base_.RequireLogon != 0);
    json_.Member("autoLogonWindowsUser", base_.AutoLogonWindowsUser != 0);
    json_.Member("logChanges", base_.LogChanges != 0);
    json_.Member("concurrentWrite", base_.ConcurrentWrite != 0);
    json_.Member("logActions", base_.LogActions != 0);
    json_.Member("logServer", Text(base_.LogServer));
    json_.Member("logServerExtra1", Text(base_.LogServerExtra1));
    json_.Member("logServerExtra2", Text(base_.LogServerExtra2));
    json_.Member("backupFolder", Text(base_.BackupFolder));
    json_.Member("backupCount", base_.BackupCount);
    json_.Member("autoCloseSeconds", base_.AutoCloseSeconds);
    json_.Member("optionFlags", base_.OptionFlags);
    json_.Member("lastFieldNumber", base_.LastFieldNumber);
    Users();
    Icons();
    json_.Key("root");
    Item(base_);
    ChangeLog();
    json_.EndObject();
  }

 private:
  static std::string Text(std::string_view engineText) { return AnsiToUtf8(engineText); }

  void Users() {
    json_.Key("users").BeginArray();
    for (TPwdBaseUser* user : *base_.Users) {
      json_.BeginObject();
      json_.Member("guid", user->Guid().ToString());
      json_.Member("name", Text(user->Name()));
      json_.Member("description", Text(user->Description()));
      json_.Member("type", static_cast<int>(user->UserType()));
      json_.Member("accountId", Text(user->AccountId()));
      json_.Member("rights", Text(user->Rights()));
      json_.Member("enabled", user->Enabled());
      // The digest identifies the password as well as the password itself would.
      json_.Member("hasPassword", !user->PasswordDigest().empty());
      json_.Key("links").BeginArray();
      if (const TPwdBaseUsersList* links = user->LinksIfAny())
        for (TPwdBaseUser* link : *links) json_.String(link->Guid().ToString());
      json_.EndArray();
      json_.EndObject();
    }
    json_.EndArray();
  }

  void Icons() {
    json_.Key("icons").BeginArray();
    for (int i = 0; i < base_.Icons.Count(); ++i) {
      json_.BeginObject();
      json_.Member("id", base_.Icons.Id(i).ToString());
      json_.Member("primaryImage", Hex(base_.Icons.PrimaryImage(i)));
      json_.Member("alternateImage", Hex(base_.Icons.AlternateImage(i)));
      json_.EndObject();
    }
    json_.EndArray();
  }

  void Permissions(const TPwdItem& item) {
    json_.Member("inheritsPermissions", item.InheritsPermissions());
    json_.Key("permissions").BeginArray();
    if (item.Permissions)
      for (const auto& entry : *item.Permissions) {
        json_.BeginObject();
        json_.Member("guid", entry->Guid.ToString());
        json_.Member("granted", Text(entry->Granted));
        json_.Member("denied", Text(entry->Denied));
        json_.EndObject();
      }
    json_.EndArray();
  }

  void Structure(TPwdFieldsList& structure) {
    json_.BeginObject();
    json_.Key("fields").BeginArray();
    for (int i = 0; i < structure.Count(); ++i) {
      TPwdField& field = *structure[i];
      (field.Kind == kKindPassword ? passwordFields_ : otherFields_).insert(field.Number);
      json_.BeginObject();
      json_.Member("number", field.Number);
      json_.Member("name", Text(field.Name));
      json_.Member("type", static_cast<int>(field.FieldType));
      json_.Member("kind", static_cast<int>(field.Kind));
      json_.Member("columnPosition", field.ColumnPosition);
      json_.Member("columnVisible", field.ColumnVisible);
      json_.Member("columnWidth", field.ColumnWidth);
      json_.Member("columnExtra", field.ColumnExtra);
      json_.Member("category", static_cast<int>(field.Category));
      json_.Member("position", field.Position);
      json_.Member("description", Text(field.Description));
      json_.Member("defaultValue", Text(field.DefaultValue));
      json_.Member("predefinedValues", Text(field.PredefinedValues));
      json_.Member("guid", field.Guid.ToString());
      json_.EndObject();
    }
    json_.EndArray();
    json_.Key("sections").BeginArray();
    for (const std::string& section : structure.Sections) json_.String(Text(section));
    json_.EndArray();
    json_.EndObject();
  }

  void Item(TPwdItem& item) {
    json_.BeginObject();
    json_.Member("type", item.IsFolder() ? "folder" : "record");
    json_.Member("guid", item.Guid.ToString());
    json_.Member("iconIndex", item.IconIndex);
    Permissions(item);
    if (item.IsFolder()) Folder(static_cast<TPwdFolder&>(item));
    else Record(static_cast<TPwdPassword&>(item));
    json_.EndObject();
  }

  void Folder(TPwdFolder& folder) {
    if (&folder != &base_) json_.Member("name", Text(folder.Name));
    json_.Member("sortColumn", folder.SortColumn);
    json_.Member("sortDescending", folder.SortDescending != 0);
    json_.Key("structure");
    if (folder.Structure) Structure(*folder.Structure);
    else json_.Null();
    json_.Key("items").BeginArray();
    for (TPwdItem* child : folder.Items->Items()) Item(*child);
    json_.EndArray();
  }

  void Record(TPwdPassword& record) {
    const bool reveal = showPasswords_ && record.HasRights("V");
    TPwdFieldsList* structure = record.Bind();
    json_.Key("values").BeginArray();
    for (int i = 0; structure && i < structure->Count(); ++i) {
      const TPwdField& field = *(*structure)[i];
      std::string text = FieldTextUtf8(field, reveal);
      json_.BeginObject();
      json_.Member("number", field.Number);
      json_.Member("name", Text(field.Name));
      json_.Member("text", text);
      json_.EndObject();
      WipeString(text);
    }
    json_.EndArray();
    json_.Key("autoFill").BeginArray();
    for (int f = 0; f < record.AutoFill.Count(); ++f) {
      TAutoFillFieldsList& form = record.AutoFill[f];
      json_.BeginObject();
      json_.Member("formName", Text(form.FormName()));
      json_.Key("fields").BeginArray();
      for (int i = 0; i < form.Count(); ++i) {
        json_.BeginObject();
        json_.Member("controlName", Text(form[i].ControlName()));
        json_.Member("fieldNumber", form[i].FieldNumber());
        json_.EndObject();
      }
      json_.EndArray();
      json_.EndObject();
    }
    json_.EndArray();
  }

  // Old and new values of password fields are masked like the values
  // themselves; so are those of fields no structure holds any more, which
  // may have been passwords.
  std::string LoggedText(const TPwdBaseChangeRec& entry, const std::string& text) const {
    const bool maybePassword =
        entry.FieldNumber >= 0 && (passwordFields_.count(entry.FieldNumber) || !otherFields_.count(entry.FieldNumber));
    const bool hidden = maybePassword && !(showPasswords_ && base_.HasRights(nullptr, "V"));
    if (!hidden) return Text(text);
    return text.empty() ? std::string() : std::string(spwdhiddenvalue);
  }

  void ChangeLog() {
    json_.Key("changeLog").BeginArray();
    for (const auto& entry : *base_.ChangesLog) {
      json_.BeginObject();
      json_.Member("kind", std::string(ChangeKindName(entry->ChangeKind)));
      json_.Member("fieldNumber", entry->FieldNumber);
      json_.Member("userName", Text(entry->UserName));
      json_.Member("userGuid", entry->UserGuid.ToString());
      json_.Member("timestamp", entry->Timestamp);
      json_.Member("itemGuid", entry->ItemGuid.ToString());
      json_.Member("parentGuid", entry->ParentGuid.ToString());
      json_.Member("operationStamp", entry->OperationStamp.ToString());
      std::string oldText = LoggedText(*entry, entry->OldText);
      std::string newText = LoggedText(*entry, entry->NewText);
      json_.Member("oldText", oldText);
      json_.Member("newText", newText);
      WipeString(oldText);
      WipeString(newText);
      json_.Member("extraText1", Text(entry->ExtraText1));
      json_.Member("extraText2", Text(entry->ExtraText2));
      json_.Member("extraGuid", entry->ExtraGuid.ToString());
      json_.EndObject();
    }
    json_.EndArray();
  }

  TJsonWriter& json_;
  TPwdBase& base_;
  bool showPasswords_;
  std::set<std::int32_t> passwordFields_;  // numbers of every password field seen
  std::set<std::int32_t> otherFields_;     // and of every other field
};

int RunDump(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Reading);
  // A dump is an export of the whole database.
  base.RequireRights(nullptr, "P");
  TJsonWriter json(context.Out());
  TDumper(json, base, args.Has("--show-password")).Database();
  return 0;
}

}  // namespace

extern const TCommand kDumpCommand = {
    {
        .name = "dump",
        .summary = "Print everything the database holds as JSON.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--show-password", "", "show the text of password fields (needs the right to view passwords)"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "The options, users and groups, custom icons, the tree with every folder's "
                       "structure and permissions and every record's values and form-filling data, and "
                       "the change log; ids in the registry text form. Passwords, also in the change "
                       "log, show as \"******\" unless --show-password is given; user passwords are "
                       "never shown. Needs the right to print and export.",
        .example = "corvane-cli dump Private.cvd > Private.json",
    },
    &RunDump,
};

}  // namespace corvane
