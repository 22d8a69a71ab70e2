// create: a new database file.

#include "cli/ciphers.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

int RunCreate(TCliContext& context, const TArguments& args) {
  const std::string algorithms = args.Has("--ciphers") ? ParseCipherList(args.Value("--ciphers")) : AllAlgorithms();
  const std::string name = Utf8ToAnsi(args.Value("--name"));
  const std::string description = Utf8ToAnsi(args.Value("--description"));
  const TSecret password =
      ToEngineText(context.Secrets().ReadNew(FormatMessage(scli_promptnew, context.DatabasePath())));
  if (password.Empty()) throw TError(std::string(serr_emptypassword));
  context.Create(name, description, password, algorithms);
  return 0;
}

}  // namespace

extern const TCommand kCreateCommand = {
    {
        .name = "create",
        .summary = "Create a new database file.",
        .arguments = {{"DATABASE", "the file to create; it must not exist"}},
        .options = {{"--name", "NAME", "the database's name", true},
                    {"--description", "TEXT", "the database's description"},
                    {"--ciphers", "LIST",
                     "the ciphers, by name or id, comma separated, in the order they are applied; "
                     "all eight by default"},
                    kPasswordStdinOption},
        .description = "The master password is asked twice on the terminal, or read once from "
                       "standard input with --password-stdin. The ciphers are Blowfish, Cast128, 3DES, "
                       "RC4, Rijndael, Serpent, Tea and Twofish.",
        .example = "corvane-cli create Private.cvd --name Private --ciphers Rijndael,Twofish",
    },
    &RunCreate,
};

}  // namespace corvane
