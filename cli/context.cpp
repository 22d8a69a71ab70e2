#include "cli/context.h"

#include "cli/messages.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/dbfile.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

// How long a wrong user name or password holds the answer back, as the
// window's logon prompt does.
constexpr std::uint32_t kWrongLogonDelayMs = 1000;
constexpr int kPasswordAttempts = 3;

}  // namespace

TCliContext::TCliContext(const TArguments& args, TSecretInput& secrets, std::ostream& out)
    : args_(args), secrets_(secrets), out_(out) {}

TCliContext::~TCliContext() = default;

const std::string& TCliContext::DatabasePath() const { return args_.Argument("DATABASE"); }

bool TCliContext::Json() const { return args_.Has(kJsonOption.name); }

void TCliContext::CheckFormat() const {
  const std::string& path = DatabasePath();
  if (!FileExists(path)) throw TError(FormatMessage(scli_dbnotfound, path));
  const auto header = ReadDbFileHeader(path);
  if (header && !header->Supported()) {
    const std::string version = FormatVersionText(header->FormatVersion);
    const std::size_t dot = version.find('.');
    throw TError(FormatMessage(serr_unsupportedversion, version.substr(0, dot), version.substr(dot + 1)));
  }
}

TPwdBase& TCliContext::Open(TOpenFor purpose) {
  CheckFormat();
  const std::string& path = DatabasePath();
  base_ = std::make_unique<TPwdBase>();
  base_->FileName = path;
  for (int attempt = 1;; ++attempt) {
    try {
      const TSecret password = ToEngineText(secrets_.Read(FormatMessage(scli_promptpassword, path)));
      // An empty password would only list the database; it is never a database's password.
      if (password.Empty()) throw TError(std::string(serr_invalidpassword));
      base_->Open(password.Text());
      break;
    } catch (const TError& error) {
      // A person at the terminal has three tries, as in the window.
      if (error.what() != serr_invalidpassword || attempt == kPasswordAttempts ||
          !secrets_.TellWrongAnswer(error.what()))
        throw;
    }
  }
  LogOn();
  if (purpose == TOpenFor::Writing && base_->ReadOnly) throw TError(FormatMessage(scli_dbreadonly, path));
  return *base_;
}

void TCliContext::LogOn() {
  if (!args_.Has(kUserOption.name)) {
    if (base_->RequireLogon && base_->Users->Count() > 1) throw TError(std::string(scli_logonrequired));
    return;
  }
  const std::string& utf8Name = args_.Value(kUserOption.name);
  const TSecret password = ToEngineText(secrets_.Read(FormatMessage(scli_promptuser, utf8Name)));
  TPwdBaseUser* user = base_->Users->FindByName(Utf8ToAnsi(utf8Name));
  const bool personal = user && user->UserType() == kUserDatabase;
  if (!personal || !user->CheckPassword(password.Text())) {
    // Unknown names wait as long as wrong passwords, so that names cannot be probed.
    if (!user || personal) Clock().Sleep(kWrongLogonDelayMs);
    throw TError(std::string(serr_invalidpassword));
  }
  base_->Logon(user->Guid());
}

TPwdBase& TCliContext::OpenForListing() {
  CheckFormat();
  base_ = std::make_unique<TPwdBase>();
  base_->FileName = DatabasePath();
  base_->Open("");
  ThrowIfListingFailed();
  return *base_;
}

// A listing never throws: for the window's tree, the engine shows what went
// wrong in brackets after the database's name. Here it is an error. A file
// that could not be opened leaves the base loading; a body that could not be
// read is told by the brackets, which a second listing of a base that is
// already loading does not append.
void TCliContext::ThrowIfListingFailed() const {
  if (base_->Loading) throw TError(base_->Name);
  if (base_->Name.empty() || base_->Name.back() != ')') return;
  TPwdBase probe;
  probe.FileName = DatabasePath();
  probe.Loading = 1;
  probe.Open("");
  if (probe.Name != base_->Name) throw TError(base_->Name);
}

TPwdBase& TCliContext::Create(const std::string& name, const std::string& description, const TSecret& password,
                              const std::string& algorithms) {
  const std::string& path = DatabasePath();
  if (FileExists(path)) throw TError(FormatMessage(scli_dbexists, path));
  base_ = CreateDatabaseFile(path, name, description, password.Text(), algorithms);
  return *base_;
}

void TCliContext::Save() { base_->Save(); }

TPwdFolder& TCliContext::Folder(std::string_view utf8Path) const { return ResolveFolder(*base_, utf8Path); }

TPwdPassword& TCliContext::Record(std::string_view utf8Path) const { return ResolveRecord(*base_, utf8Path); }

}  // namespace corvane
