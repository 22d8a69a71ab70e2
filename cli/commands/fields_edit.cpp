// fields-edit: changes the field structure of a folder to a description read
// as JSON, as the field-structure editor would.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/field_structure_choice.h"
#include "app/field_structure_edit.h"
#include "app/front_end.h"
#include "app/message_box.h"
#include "app/windowless_front_end.h"
#include "cli/command.h"
#include "cli/commands/field_structure_json.h"
#include "cli/context.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/file.h"
#include "platform/unique_fd.h"

namespace corvane {

namespace {

constexpr std::size_t kMaxDescriptionBytes = 1 << 20;

constexpr std::string_view scli_fieldsbothchoices = "Give either --independent or --edit-parent, not both.";
constexpr std::string_view scli_fieldsnoterminal =
    "There is no terminal to ask; give --independent or --edit-parent.";
constexpr std::string_view scli_fieldsprompt = "[y] independent structure, [n] edit the parent's, [c] cancel: ";
constexpr std::string_view scli_fieldscancelled = "The field structure was not changed.";
constexpr std::string_view scli_fieldstoolarge = "The fields description is larger than %d bytes.";
constexpr std::string_view scli_fieldsunreadable = "The fields description could not be read: %s";
constexpr std::string_view scli_fieldsinfield = "Field %d:";
constexpr std::string_view scli_fieldsinnamedfield = "Field %d (%s):";

// Answers the inheritance question by the option given, else on the terminal.
class TStructureQuestion : public TWindowlessFrontEnd {
 public:
  std::optional<int> answer;

  TMessageAnswer ShowMessage(const TMessageRequest& request) override {
    if (answer) return {*answer, false};
    TUniqueFd tty(::open("/dev/tty", O_RDWR | O_CLOEXEC));
    if (tty.Get() < 0) throw TError(request.text + "\n\n" + std::string(scli_fieldsnoterminal));
    const std::string question = request.text + "\n" + std::string(scli_fieldsprompt);
    if (::write(tty.Get(), question.data(), question.size()) < 0) return {kIdCancel, false};
    char c = 0;
    std::string line;
    while (::read(tty.Get(), &c, 1) == 1 && c != '\n') line += c;
    if (line == "y" || line == "Y") return {kIdYes, false};
    if (line == "n" || line == "N") return {kIdNo, false};
    return {kIdCancel, false};
  }
};

TPwdFolder& EditedFolder(TPwdFolder& folder, const TArguments& args) {
  TStructureQuestion question;
  if (args.Has("--independent")) question.answer = kIdYes;
  if (args.Has("--edit-parent")) question.answer = kIdNo;
  TFrontEndInstallation installed(question);
  TPwdFolder* edited = ChooseStructureFolder(folder);
  if (!edited) throw TError(std::string(scli_fieldscancelled));
  return *edited;
}

// All of a source, at most kMaxDescriptionBytes; `read` gives the next bytes,
// none at the end.
template <class TRead>
std::string ReadBounded(TRead read) {
  std::string text;
  char buffer[1 << 16];
  while (const std::size_t count = read(buffer, sizeof buffer)) {
    text.append(buffer, count);
    if (text.size() > kMaxDescriptionBytes)
      throw TError(FormatMessage(scli_fieldstoolarge, static_cast<int>(kMaxDescriptionBytes)));
  }
  return text;
}

// The description: the file of --file, else the rest of standard input (the
// passwords of --password-stdin have been read from it line by line).
std::string ReadDescription(const TArguments& args) {
  if (args.Has("--file")) {
    TFile file = TFile::Open(args.Value("--file"), TFile::TMode::kRead);
    return ReadBounded([&](char* buffer, std::size_t size) {
      return file.Read(std::span(reinterpret_cast<std::uint8_t*>(buffer), size));
    });
  }
  return ReadBounded([](char* buffer, std::size_t size) -> std::size_t {
    for (;;) {
      const ssize_t count = ::read(0, buffer, size);
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) throw TError(FormatMessage(scli_fieldsunreadable, std::strerror(errno)));
    }
  });
}

int RunFieldsEdit(TCliContext& context, const TArguments& args) {
  if (args.Has("--independent") && args.Has("--edit-parent"))
    throw TUsageError(std::string(scli_fieldsbothchoices), "fields-edit");
  TPwdBase& base = context.Open(TOpenFor::Writing);
  TPwdFolder& folder = context.Folder(args.Argument("FOLDER"));
  // Customizing fields is the administrator's.
  folder.RequireRights("A");
  TPwdFolder& edited = EditedFolder(folder, args);
  TFieldStructureEdit edit = ReadFieldStructureEdit(edited);
  ApplyFieldStructureJson(ReadDescription(args), edit);
  try {
    CommitFieldStructureEdit(base, edited.Guid, edit);
  } catch (const TFieldRecError& error) {
    // The entry's place in the description, and its name when it has one.
    const int place = static_cast<int>(error.FieldIndex() + 1);
    const std::string& name = edit.fields.at(error.FieldIndex()).name;
    throw TError((name.empty() ? FormatMessage(scli_fieldsinfield, place)
                               : FormatMessage(scli_fieldsinnamedfield, place, name)) +
                 "\r" + error.what());
  }
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kFieldsEditCommand = {
    {
        .name = "fields-edit",
        .summary = "Change the field structure of a folder to a JSON description.",
        .arguments = {{"DATABASE", "the database file"}, {"FOLDER", "the folder, by path or id"}},
        .options = {{"--file", "PATH", "read the description from PATH instead of standard input"},
                    {"--independent", "",
                     "when the folder inherits its structure, give it and its children an independent one"},
                    {"--edit-parent", "",
                     "when the folder inherits its structure, change the inherited structure in the folder above "
                     "that holds it"},
                    kPasswordStdinOption,
                    kUserOption},
        .description =
            "The description has the form that 'fields --json' prints: \"sections\", the list of section "
            "names, and \"fields\", the list of fields, each with \"number\", \"name\", \"type\" (String, "
            "Date, Integer, Float, Checkbox), \"kind\" (for String: Regular string, Password field, "
            "Multiline text, Clickable URL, Predefined values), \"section\" (an index into the sections, or "
            "a section's name), \"description\", \"defaultValue\" and \"predefinedValues\". A field with "
            "a number keeps what its entry leaves out; an entry without a number adds a field. Fields are "
            "ordered within their section as they are listed; \"position\" and the column members are not "
            "read.\n\nA field that is not listed is deleted with its values in every record. A changed type "
            "converts the values through their text; what does not convert becomes 0. The program's own "
            "fields (created, modified, expire on, modified by) can only be renamed and moved to another "
            "section. Nothing is changed unless the whole description is valid.\n\nWhen the folder inherits "
            "its structure, --independent gives it a copy of its own (the numbers of the listed fields are "
            "those the inherited structure shows), and --edit-parent changes the inherited structure; "
            "without either the terminal asks. With --password-stdin the passwords come first, then the "
            "description. Needs the administrator right; the database is saved.",
        .example = "corvane-cli fields-edit Private.cvd Work --independent --file fields.json",
    },
    &RunFieldsEdit,
};

}  // namespace corvane
