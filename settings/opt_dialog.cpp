#include "settings/opt_dialog.h"

#include <algorithm>
#include <charconv>

#include "app/application.h"
#include "settings/settings_file.h"

namespace quillfen {

TOptDialog::TOptDialog(TApplication& app) : app_(app), model_(std::make_unique<TSettingsDialogModel>()) {}

TOptDialog::~TOptDialog() = default;

void TOptDialog::FormCreate() {
  const std::optional<std::int32_t> count = model_->DialogRead(app_.Files());
  // The position is a 16-bit number: it takes the low 16 bits of the count.
  if (count) UpDown1Position = static_cast<std::int16_t>(static_cast<std::uint16_t>(*count & 0xFFFF));
}

void TOptDialog::Button1Click(const std::string& editText) {
  Edit1Text = editText;
  model_->DialogWrite(app_.Files(), editText);
  app_.Terminate();  // closing the main form ends the program
}

std::string TOptDialog::StepUpDown(const std::string& editText, int delta) {
  std::int32_t current = UpDown1Position;
  std::int64_t typed = 0;
  const char* first = editText.data();
  const char* last = first + editText.size();
  const auto [end, ec] = std::from_chars(first, last, typed);
  if (ec == std::errc() && end == last && !editText.empty()) {
    current = static_cast<std::int32_t>(std::clamp<std::int64_t>(typed, INT32_MIN, INT32_MAX));
  }
  const std::int64_t next = std::clamp<std::int64_t>(static_cast<std::int64_t>(current) + delta, UpDown1Min, UpDown1Max);
  UpDown1Position = static_cast<std::int16_t>(next);
  Edit1Text = std::to_string(next);
  return Edit1Text;
}

}  // namespace quillfen
