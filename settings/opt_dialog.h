// The setup dialog's behaviour: its controls' state and its two handlers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillfen {

class TApplication;
class TSettingsDialogModel;

class TOptDialog {
 public:
  explicit TOptDialog(TApplication& app);
  ~TOptDialog();
  TOptDialog(const TOptDialog&) = delete;
  TOptDialog& operator=(const TOptDialog&) = delete;

  // Reads the settings file; a count read sets UpDown1's position.
  void FormCreate();
  // OK: writes `editText` (Edit1's text) as line 1, then closes the dialog.
  void Button1Click(const std::string& editText);

  // The controls as the form description builds them.
  std::string Edit1Text = "12";
  std::int16_t UpDown1Position = 12;
  static constexpr std::int32_t UpDown1Min = 1;
  static constexpr std::int32_t UpDown1Max = 1000;

  // For a toolkit without its own up-down control: one arrow step from the
  // number in the edit box (or the position when it holds none), kept within
  // the range without wrapping. Returns the new edit text.
  std::string StepUpDown(const std::string& editText, int delta);

 private:
  TApplication& app_;
  std::unique_ptr<TSettingsDialogModel> model_;
};

}  // namespace quillfen
