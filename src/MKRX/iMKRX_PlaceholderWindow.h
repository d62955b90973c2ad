// What the stand-ins of the program's later windows and dialogs share: they record what is done
// to them and track whether they are shown, without a window of their own. The ones the program
// makes and forgets (dialogs that own themselves) are kept until the process ends.
#pragma once

#include <string>

class iMKRX_PlaceholderWindow {
public:
  explicit iMKRX_PlaceholderWindow(std::string className);
  virtual ~iMKRX_PlaceholderWindow() = default;
  iMKRX_PlaceholderWindow(iMKRX_PlaceholderWindow const&) = delete;
  iMKRX_PlaceholderWindow& operator=(iMKRX_PlaceholderWindow const&) = delete;

  void Show();
  void Hide();
  void Select();
  bool IsVisible() const { return m_Visible; }

  // Takes a window that owns itself, so that it lives (and is reachable) to the end of the run.
  static void KeepSelfOwned(iMKRX_PlaceholderWindow* window);

protected:
  void Record(std::string const& operation) const;

private:
  std::string m_ClassName;
  bool m_Visible = false;
};
