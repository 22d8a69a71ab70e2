#pragma once
// Rows of comma-separated values as RFC 4180 defines them: a field that holds
// a comma, a double quote, CR or LF is enclosed in double quotes, with each
// quote inside doubled; every row, the last one too, ends with CR LF. Rows
// may hold secrets, so the writer's buffer is wiped after every row.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TCsvWriter {
 public:
  // Receives each finished row, line end included.
  using TSink = std::function<void(std::string_view row)>;

  explicit TCsvWriter(TSink sink) : sink_(std::move(sink)) {}
  ~TCsvWriter();
  TCsvWriter(const TCsvWriter&) = delete;
  TCsvWriter& operator=(const TCsvWriter&) = delete;

  // Hands one row of `fields` to the sink. What the sink throws goes on.
  void WriteRow(const std::vector<std::string_view>& fields);

 private:
  TSink sink_;
  std::string row_;
};

// `field` as it stands in a row: quoted when it must be.
std::string CsvField(std::string_view field);

}  // namespace corvane
