#include "app/csv_writer.h"

#include "engine/secure_buffer.h"

namespace corvane {

namespace {

void AppendField(std::string_view field, std::string& out) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

TCsvWriter::~TCsvWriter() { WipeString(row_); }

void TCsvWriter::WriteRow(const std::vector<std::string_view>& fields) {
  std::size_t size = 2;
  for (const std::string_view field : fields) size += field.size() * 2 + 3;
  // Growing within the row would leave copies of its text in freed memory.
  if (row_.capacity() < size) {
    WipeString(row_);
    std::string bigger;
    bigger.reserve(size);
    row_.swap(bigger);
  }
  WipeString(row_);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row_ += ',';
    AppendField(fields[i], row_);
  }
  row_ += "\r\n";
  try {
    sink_(row_);
  } catch (...) {
    WipeString(row_);
    throw;
  }
  WipeString(row_);
}

std::string CsvField(std::string_view field) {
  std::string out;
  AppendField(field, out);
  return out;
}

}  // namespace corvane
