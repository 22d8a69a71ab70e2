#include "platform/registry.h"

#include "platform/error.h"
#include "platform/registry_path.h"
#include "platform/registry_store.h"

namespace corvane {

namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

[[noreturn]] void FailGone(const std::string& path) {
  throw TError("The registry key " + Quoted(path) + " no longer exists.");
}

// The value, which must be of `type`; nullopt stays nullopt.
std::optional<TRegValue> Expect(std::optional<TRegValue> value, TRegType type, const std::string& path) {
  if (!value || value->type == type) return value;
  const char* what = type == TRegType::String ? "a string" : type == TRegType::DWord ? "a number" : "binary data";
  throw TError("The registry value " + Quoted(value->name) + " in " + Quoted(path) + " is not " + what + ".");
}

std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

TRegKey::TRegKey(THive hive, std::string path, std::shared_ptr<TRegStore> store, std::int64_t id)
    : hive_(hive), path_(std::move(path)), store_(std::move(store)), id_(id) {}

TRegKey::TRegKey(TRegKey&&) noexcept = default;
TRegKey& TRegKey::operator=(TRegKey&&) noexcept = default;
TRegKey::~TRegKey() = default;

std::optional<TRegKey> TRegKey::Open(THive hive, std::string_view path) {
  auto names = SplitKeyPath(path);
  auto store = TRegStore::ForHive(hive, false);
  if (!store) return std::nullopt;
  auto id = store->FindKey(TRegStore::kRootKey, names);
  if (!id) return std::nullopt;
  return TRegKey(hive, std::string(path), std::move(store), *id);
}

TRegKey TRegKey::Create(THive hive, std::string_view path) {
  auto names = SplitKeyPath(path);
  auto store = TRegStore::ForHive(hive, true);
  auto id = store->CreateKey(TRegStore::kRootKey, names);
  if (!id) throw TError("The registry key " + Quoted(path) + " cannot be created.");  // the root is missing
  return TRegKey(hive, std::string(path), std::move(store), *id);
}

bool TRegKey::DeleteKey(THive hive, std::string_view path) {
  auto names = SplitKeyPath(path);
  if (names.empty()) throw TError("The root key of the registry cannot be deleted.");
  auto store = TRegStore::ForHive(hive, false);
  return store && store->DeleteKey(TRegStore::kRootKey, names);
}

std::optional<TRegValue> TRegKey::Query(std::string_view name) const {
  CheckValueName(name);
  return store_->QueryValue(id_, name);
}

std::optional<std::string> TRegKey::QueryString(std::string_view name) const {
  auto value = Expect(Query(name), TRegType::String, path_);
  if (!value) return std::nullopt;
  return std::move(value->text);
}

std::optional<std::uint32_t> TRegKey::QueryDWord(std::string_view name) const {
  auto value = Expect(Query(name), TRegType::DWord, path_);
  if (!value) return std::nullopt;
  return value->number;
}

std::optional<std::vector<std::uint8_t>> TRegKey::QueryBinary(std::string_view name) const {
  auto value = Expect(Query(name), TRegType::Binary, path_);
  if (!value) return std::nullopt;
  return std::move(value->binary);
}

void TRegKey::SetString(std::string_view name, std::string_view value) {
  CheckValueName(name);
  if (!store_->SetValue(id_, name, TRegType::String, 0, BytesOf(value))) FailGone(path_);
}

void TRegKey::SetDWord(std::string_view name, std::uint32_t value) {
  CheckValueName(name);
  if (!store_->SetValue(id_, name, TRegType::DWord, value, {})) FailGone(path_);
}

void TRegKey::SetBinary(std::string_view name, std::span<const std::uint8_t> value) {
  CheckValueName(name);
  if (!store_->SetValue(id_, name, TRegType::Binary, 0, value)) FailGone(path_);
}

bool TRegKey::DeleteValue(std::string_view name) {
  CheckValueName(name);
  return store_->DeleteValue(id_, name);
}

std::vector<std::string> TRegKey::SubKeys() const { return store_->SubKeys(id_); }

std::vector<TRegValue> TRegKey::Values() const { return store_->Values(id_); }

std::optional<TRegKey> TRegKey::OpenSubKey(std::string_view relative) const {
  auto id = store_->FindKey(id_, SplitKeyPath(relative));
  if (!id) return std::nullopt;
  return TRegKey(hive_, JoinKeyPath(path_, relative), store_, *id);
}

TRegKey TRegKey::CreateSubKey(std::string_view relative) const {
  auto id = store_->CreateKey(id_, SplitKeyPath(relative));
  if (!id) FailGone(path_);
  return TRegKey(hive_, JoinKeyPath(path_, relative), store_, *id);
}

}  // namespace corvane
