#include "cli/commands/paste_command.h"

#include <filesystem>

#include "app/paste_items.h"
#include "cli/command.h"
#include "cli/commands/item_path.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"

namespace corvane {

namespace {

constexpr std::string_view scli_intosame = "'%s' is the database itself; copy without --into.";

// The other database is opened as a command of its own would open its
// DATABASE: same password rules, same logon.
const TCommandSpec kOtherSpec = {
    .name = "cp",
    .summary = {},
    .arguments = {{"DATABASE", "the database that receives the copies"}},
    .options = {kPasswordStdinOption, kUserOption},
    .description = {},
    .example = {},
};

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace

int RunPasteCommand(TCliContext& context, const TArguments& args, bool cut) {
  const std::string command(args.Spec().name);
  const std::vector<std::string>& paths = args.Values(kPastePaths);
  if (paths.size() < 2) throw TUsageError(FormatMessage(scli_missingargument, "FOLDER"), command);
  const std::string& into = args.Value("--into");
  if (!into.empty() && SameFile(into, context.DatabasePath()))
    throw TUsageError(FormatMessage(scli_intosame, into), command);

  TPwdBase& base = context.Open(into.empty() ? TOpenFor::Writing : TOpenFor::Reading);
  std::vector<TPwdItem*> items;
  for (std::size_t i = 0; i + 1 < paths.size(); ++i) items.push_back(&ResolveItem(base, paths[i]));

  std::unique_ptr<TArguments> otherArgs;
  std::unique_ptr<TCliContext> other;
  TCliContext* targetContext = &context;
  if (!into.empty()) {
    std::vector<std::string> line;
    if (args.Has(kUserOption.name)) line = {std::string(kUserOption.name), args.Value(kUserOption.name)};
    line.insert(line.end(), {"--", into});
    otherArgs = std::make_unique<TArguments>(kOtherSpec, line);
    other = std::make_unique<TCliContext>(*otherArgs, context.Secrets(), context.Out());
    other->Open(TOpenFor::Writing);
    targetContext = other.get();
  }
  TPwdFolder& target = targetContext->Folder(paths.back());

  const TPasteOutcome outcome = PasteItems(items, target, cut);
  // What was pasted before a refusal stays, as in the window.
  // A copy into another database leaves this one as it was.
  if (targetContext->Base().Modified) targetContext->Save();
  for (TPwdItem* item : outcome.pasted) context.Out() << item->Guid.ToString() << '\n';
  if (outcome.error) throw TError(*outcome.error);
  return 0;
}

}  // namespace corvane
