// SPDX-License-Identifier: MIT
// The About box: the program, its version and the physical memory.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class AboutDlg;
}

namespace kotoha {

// The program's version, as --version and the About box show it.
inline constexpr const char* kProgramVersion = KOTOHA_VERSION_STRING;

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    // memoryText (UTF-8) goes into the memory field.
    CAboutDlg(const std::string& memoryText, QWidget* parent);
    ~CAboutDlg() override;

  private:
    std::unique_ptr<Ui::AboutDlg> ui_;
};

// The total physical memory in whole kilobytes.
std::uint64_t PhysicalMemoryKilobytes();

}  // namespace kotoha
