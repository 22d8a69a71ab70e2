#include "ui/console_front_end.h"

namespace corvane {

TMessageAnswer TConsoleFrontEnd::ShowMessage(const TMessageRequest& request) {
  out_ << "corvane: ";
  if (!request.title.empty()) out_ << request.title << ": ";
  out_ << request.text << '\n';
  if (!request.details.empty()) out_ << request.details << '\n';
  out_.flush();
  return {request.buttons.at(request.defaultButton).result, false};
}

}  // namespace corvane
