#include "engine/autofill.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/sha.h>

#include "engine/base.h"
#include "engine/crypt_stream.h"
#include "engine/messages.h"
#include "engine/password.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {
namespace {

constexpr bool kPlain = true;

// Base64 (no line breaks) of the SHA-1 digest of `text`.
std::string DigestBase64(const std::string& text) {
  TSecureBytes digest(CryptoPP::SHA1::DIGESTSIZE);
  CryptoPP::SHA1().CalculateDigest(digest.data(), reinterpret_cast<const CryptoPP::byte*>(text.data()),
                                   text.size());
  std::string encoded;
  CryptoPP::StringSource(digest.data(), digest.size(), true,
                         new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded), /*insertLineBreaks=*/false));
  return encoded;
}

}  // namespace

// --- TAutoFillField ---

void TAutoFillField::SetFieldNumber(std::int32_t number) {
  if (number == fieldNumber_) return;
  fieldNumber_ = number;
  if (owner_) owner_->Changed();
}

void TAutoFillField::SetControlName(const std::string& name) {
  if (name == controlName_) return;
  controlName_ = name;
  if (owner_) owner_->Changed();
}

// --- TAutoFillFieldsList ---

TAutoFillField& TAutoFillFieldsList::AddField() {
  fields_.push_back(std::make_unique<TAutoFillField>(this));
  fingerprint_.clear();
  return *fields_.back();
}

void TAutoFillFieldsList::SetFormName(const std::string& name) {
  if (name == formName_) return;
  formName_ = name;
  if (owner_) owner_->MarkModified();
}

void TAutoFillFieldsList::Changed() {
  fingerprint_.clear();
  if (owner_) owner_->MarkModified();
}

const std::string& TAutoFillFieldsList::GetFingerprint() {
  if (!fingerprint_.empty()) return fingerprint_;
  TPwdPassword* record = owner_ ? owner_->Record() : nullptr;
  TPwdFieldsList* structure = record ? record->Bind() : nullptr;
  std::string text;
  for (const auto& field : fields_) {
    TPwdField* source = structure ? structure->FieldByNumber(field->fieldNumber_) : nullptr;
    if (!source) continue;
    std::string value = source->AsString();
    text += field->controlName_;
    text += ':';
    text += value;
    WipeString(value);
  }
  fingerprint_ = DigestBase64(text);
  WipeString(text);
  return fingerprint_;
}

// --- TAutoFillDataList ---

TAutoFillFieldsList& TAutoFillDataList::Add() {
  forms_.push_back(std::make_unique<TAutoFillFieldsList>(this));
  return *forms_.back();
}

void TAutoFillDataList::Assign(const TAutoFillDataList& other) {
  if (&other == this) return;
  Clear();
  for (const auto& source : other.forms_) {
    TAutoFillFieldsList& form = Add();
    form.formName_ = source->formName_;
    for (const auto& sourceField : source->fields_) {
      TAutoFillField& field = form.AddField();
      field.fieldNumber_ = sourceField->fieldNumber_;
      field.controlName_ = sourceField->controlName_;
    }
  }
}

void TAutoFillDataList::MarkModified() const {
  if (TPwdBase* base = record_ ? record_->GetBase() : nullptr) base->SetModified(true);
}

void TAutoFillDataList::SaveToStream(TCryptStream& stream) {
  stream.WriteInt32(Count(), kPlain);
  for (const auto& form : forms_) {
    stream.WriteString(form->formName_, kPlain);
    stream.WriteInt32(form->Count(), kPlain);
    for (const auto& field : form->fields_) {
      stream.WriteString(field->controlName_, kPlain);
      stream.WriteInt32(field->fieldNumber_, kPlain);
    }
    // The stored fingerprint is that of the values at the time of the save.
    form->ForgetFingerprint();
    stream.WriteString(form->GetFingerprint(), kPlain);
  }
}

void TAutoFillDataList::LoadFromStream(TCryptStream& stream, const TStreamFormat& format) {
  Clear();
  // Every form and field takes bytes of the stream, so damaged counts end in
  // a read error, never in a huge allocation.
  const std::int32_t formCount = stream.ReadInt32(kPlain);
  if (formCount < 0) throw TError(std::string(sreaderror));
  for (std::int32_t i = 0; i < formCount; ++i) {
    TAutoFillFieldsList& form = Add();
    form.formName_ = stream.ReadString(kPlain);
    const std::int32_t fieldCount = stream.ReadInt32(kPlain);
    if (fieldCount < 0) throw TError(std::string(sreaderror));
    for (std::int32_t j = 0; j < fieldCount; ++j) {
      TAutoFillField& field = form.AddField();
      field.controlName_ = stream.ReadString(kPlain);
      field.fieldNumber_ = stream.ReadInt32(kPlain);
    }
    if (format.Build >= 22002) form.fingerprint_ = stream.ReadString(kPlain);
  }
}

}  // namespace corvane
