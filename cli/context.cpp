#include "cli/context.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/app_services.h"
#include "app/front_end.h"
#include "app/session_logon.h"
#include "app/session_open.h"
#include "app/session_save.h"
#include "app/session_state.h"
#include "cli/messages.h"
#include "cli/paths.h"
#include "cli/session_front_end.h"
#include "engine/base.h"
#include "engine/dbfile.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

// Keeps the front end's refusals as the answers of one opening.
class THeldRefusals {
 public:
  explicit THeldRefusals(TSessionFrontEnd& frontEnd) : frontEnd_(frontEnd) { frontEnd_.HoldRefusals(true); }
  ~THeldRefusals() { frontEnd_.HoldRefusals(false); }
  THeldRefusals(const THeldRefusals&) = delete;
  THeldRefusals& operator=(const THeldRefusals&) = delete;

 private:
  TSessionFrontEnd& frontEnd_;
};

// Contexts that use the program's services; the first starts them, the last
// stops them (a merge opens its source in a context of its own).
int gServiceUsers = 0;

std::optional<std::string> UserOption(const TArguments& args) {
  if (!args.Has(kUserOption.name)) return std::nullopt;
  return args.Value(kUserOption.name);
}

}  // namespace

TCliContext::TCliContext(const TArguments& args, TSecretInput& secrets, std::ostream& out)
    : args_(args),
      secrets_(secrets),
      out_(out),
      frontEnd_(std::make_unique<TSessionFrontEnd>(secrets, args.Argument("DATABASE"), UserOption(args), out,
                                                   std::cerr)),
      installed_(std::make_unique<TFrontEndInstallation>(*frontEnd_)) {}

TCliContext::~TCliContext() {
  base_.reset();
  if (servicesStarted_ && --gServiceUsers == 0) StopApplicationServices();
}

void TCliContext::StartServices() {
  if (servicesStarted_) return;
  if (gServiceUsers == 0) StartApplicationServices();
  ++gServiceUsers;
  servicesStarted_ = true;
}

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
  StartServices();
  base_ = std::make_unique<TPwdBase>();
  // The program knows databases by their full path: the remembered logon,
  // the backup copies and the folder a save creates all come from it.
  base_->FileName = std::filesystem::absolute(DatabasePath()).lexically_normal().string();
  {
    THeldRefusals held(*frontEnd_);
    if (!OpenDatabase(*base_))
      throw TError(frontEnd_->Refusal().empty() ? std::string(scli_notopened) : frontEnd_->Refusal());
    if (args_.Has(kUserOption.name) && frontEnd_->LogonsAnswered() == 0) LogOnAsUser();
  }
  if (purpose == TOpenFor::Writing && base_->ReadOnly) {
    if (!UserMayModify(*base_)) throw TError(std::string(spwdaccessdenied));
    throw TError(FormatMessage(scli_dbreadonly, DatabasePath()));
  }
  return *base_;
}

// --user where the opening asked for no logon, as "Logon as user..." does.
void TCliContext::LogOnAsUser() {
  if (base_->Users->Count() == 1) {
    // Only the default user: no name can match, and it waits as a wrong one.
    Clock().Sleep(kWrongLogonDelayMs);
    throw TError(std::string(serr_invalidpassword));
  }
  if (!Logon(*base_, /*logAction=*/true)) {
    const std::string refusal = frontEnd_->Refusal();
    base_->Close();
    throw TError(refusal.empty() ? std::string(serr_invalidpassword) : refusal);
  }
  UpdateDatabaseState(*base_, /*showMessage=*/true, /*recheck=*/true);
}

TPwdBase& TCliContext::OpenForListing() {
  CheckFormat();
  StartServices();
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
  StartServices();
  base_ = CreateDatabaseFile(path, name, description, password.Text(), algorithms);
  return *base_;
}

void TCliContext::Save() { SaveDatabase(*base_, /*makeBackup=*/true); }

TPwdFolder& TCliContext::Folder(std::string_view utf8Path) const { return ResolveFolder(*base_, utf8Path); }

TPwdPassword& TCliContext::Record(std::string_view utf8Path) const { return ResolveRecord(*base_, utf8Path); }

}  // namespace corvane
