#include "MKRX/iMKRX_PlaceholderWindow.h"

#include "MKRX/iMKRX_PlaceholderLog.h"

#include <memory>
#include <utility>
#include <vector>

iMKRX_PlaceholderWindow::iMKRX_PlaceholderWindow(std::string className)
    : m_ClassName(std::move(className)) {
  Record(m_ClassName);
}

void iMKRX_PlaceholderWindow::Show() {
  m_Visible = true;
  Record("Show");
}

void iMKRX_PlaceholderWindow::Hide() {
  m_Visible = false;
  Record("Hide");
}

void iMKRX_PlaceholderWindow::Select() {
  Record("Select");
}

void iMKRX_PlaceholderWindow::KeepSelfOwned(iMKRX_PlaceholderWindow* window) {
  static std::vector<std::unique_ptr<iMKRX_PlaceholderWindow>> kept;
  kept.emplace_back(window);
}

void iMKRX_PlaceholderWindow::Record(std::string const& operation) const {
  iMKRX_PlaceholderLog::Record(m_ClassName + "::" + operation);
}
