// passwd: a new master password, a new cipher list, or both.

#include "cli/ciphers.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {

namespace {

int RunPasswd(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  // The master password and the ciphers are properties of the whole database.
  base.RequireRights(nullptr, "A");
  const bool newCiphers = args.Has("--ciphers");
  const std::string algorithms = newCiphers ? ParseCipherList(args.Value("--ciphers")) : base.Algorithms;
  const std::string_view prompt = newCiphers ? scli_promptnewkeep : scli_promptnew;
  const TSecret password = ToEngineText(context.Secrets().ReadNew(FormatMessage(prompt, context.DatabasePath())));
  if (password.Empty() && !newCiphers) throw TError(std::string(serr_emptypassword));

  if (!password.Empty()) {
    WipeString(base.Password);
    base.Password = password.Text();
  }
  base.Algorithms = algorithms;
  base.SetModified(true);
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kPasswdCommand = {
    {
        .name = "passwd",
        .summary = "Change the master password and/or the ciphers of a database.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--ciphers", "LIST",
                     "the new ciphers, by name or id, comma separated, in the order they are applied"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "The current master password is asked first, then the new one (twice on the "
                       "terminal; the next line with --password-stdin). With --ciphers an empty new "
                       "password keeps the current one. Needs administrator rights. The database is saved.",
        .example = "corvane-cli passwd Private.cvd --ciphers Serpent,Twofish",
    },
    &RunPasswd,
};

}  // namespace corvane
