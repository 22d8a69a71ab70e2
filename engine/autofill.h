#pragma once
// The auto-fill data of a record: for each web or program form, which record
// field goes into which control of that form. This system only keeps them:
// they are loaded, copied with their record and saved with a fingerprint of
// the values they would fill in.
// Not thread-safe: a database is used from one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/stream_format.h"

namespace corvane {

class TCryptStream;
class TPwdPassword;
class TAutoFillDataList;
class TAutoFillFieldsList;

// One control of a form and the record field that fills it.
class TAutoFillField {
 public:
  explicit TAutoFillField(TAutoFillFieldsList* owner) : owner_(owner) {}
  TAutoFillField(const TAutoFillField&) = delete;
  TAutoFillField& operator=(const TAutoFillField&) = delete;

  TAutoFillFieldsList* Owner() const { return owner_; }
  std::int32_t FieldNumber() const { return fieldNumber_; }
  const std::string& ControlName() const { return controlName_; }
  // Each marks the database modified when the value differs, and drops the
  // form's cached fingerprint.
  void SetFieldNumber(std::int32_t number);
  void SetControlName(const std::string& name);

 private:
  friend class TAutoFillFieldsList;
  friend class TAutoFillDataList;
  TAutoFillFieldsList* owner_;
  std::int32_t fieldNumber_ = 0;
  std::string controlName_;
};

// The controls of one form. Owns its fields.
class TAutoFillFieldsList {
 public:
  explicit TAutoFillFieldsList(TAutoFillDataList* owner) : owner_(owner) {}
  TAutoFillFieldsList(const TAutoFillFieldsList&) = delete;
  TAutoFillFieldsList& operator=(const TAutoFillFieldsList&) = delete;

  TAutoFillDataList* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(fields_.size()); }
  TAutoFillField& operator[](int index) const { return *fields_.at(static_cast<std::size_t>(index)); }

  // Appends an empty field and returns it (owned by the list).
  TAutoFillField& AddField();
  const std::string& FormName() const { return formName_; }
  // Marks the database modified when the name differs.
  void SetFormName(const std::string& name);

  // Base64 of the SHA-1 digest of "control:value" for each field that names a
  // field of the record's structure, the values read under the current
  // viewing rights. Cached until a field of the form changes.
  const std::string& GetFingerprint();
  // Drops the cached fingerprint (values of the record changed).
  void ForgetFingerprint() { fingerprint_.clear(); }

 private:
  friend class TAutoFillDataList;
  friend class TAutoFillField;
  void Changed();

  TAutoFillDataList* owner_;
  std::string formName_;
  std::string fingerprint_;
  std::vector<std::unique_ptr<TAutoFillField>> fields_;
};

// All forms of one record (TPwdPassword::AutoFill). Owns its form entries.
class TAutoFillDataList {
 public:
  // `record` may be null for a free list.
  explicit TAutoFillDataList(TPwdPassword* record) : record_(record) {}
  TAutoFillDataList(const TAutoFillDataList&) = delete;
  TAutoFillDataList& operator=(const TAutoFillDataList&) = delete;

  TPwdPassword* Record() const { return record_; }
  int Count() const { return static_cast<int>(forms_.size()); }
  TAutoFillFieldsList& operator[](int index) const { return *forms_.at(static_cast<std::size_t>(index)); }

  // Appends an empty form entry and returns it (owned by the list).
  TAutoFillFieldsList& Add();
  void Clear() { forms_.clear(); }
  // Becomes a copy of `other`'s forms and fields (fingerprints are recomputed).
  void Assign(const TAutoFillDataList& other);

  // Stored in the plain part of a database body: the form count, then for
  // each form its name, its field count, each field's control name and field
  // number, and the fingerprint (computed afresh for saving; read only from
  // builds 22002 and later). Loading replaces the list; `format` is the
  // stream's format.
  void SaveToStream(TCryptStream& stream);
  void LoadFromStream(TCryptStream& stream, const TStreamFormat& format);

 private:
  friend class TAutoFillFieldsList;
  void MarkModified() const;

  TPwdPassword* record_;
  std::vector<std::unique_ptr<TAutoFillFieldsList>> forms_;
};

}  // namespace corvane
