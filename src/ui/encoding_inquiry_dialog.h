// SPDX-License-Identifier: MIT
// The question asked when detection is unsure which encoding a file is in:
// three radio buttons and a live preview of the file read the way the
// button that is on says.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

#include "codec/byte_class.h"

class QRadioButton;

namespace Ui {
class EncodingInquiryDlg;
}

namespace kotoha {

// The kinds the inquiry offers: the three legacy ones, with UTF-8 (the one
// Unicode kind detection can be unsure of), or every kind (reopening).
enum class EncodingChoices { Legacy, WithUtf8, All };

class CEncodingInquiryDlg : public QDialog {
    Q_OBJECT

  public:
    // bytes[0, length) are the file's raw bytes; they must outlive the
    // dialog. initial is the button that is on at first.
    CEncodingInquiryDlg(EncodingKind initial, const std::uint8_t* bytes, std::uint32_t length,
                        QWidget* parent, EncodingChoices choices = EncodingChoices::WithUtf8);
    ~CEncodingInquiryDlg() override;

    // The kind whose button is on now (an EncodingKind value).
    std::int32_t CheckedKind() const;
    // The preview as shown, for tests.
    QString PreviewText() const;

  private:
    // The buttons by kind value.
    std::array<QRadioButton*, 7> Buttons() const;
    // Shows the file decoded with the kind whose button is on.
    void MakePreview();

    std::unique_ptr<Ui::EncodingInquiryDlg> ui_;
    const std::uint8_t* bytes_;
    std::uint32_t length_;
};

// Runs the inquiry modally. Returns the chosen kind on OK, -1 on cancel.
std::int32_t InquireEncoding(EncodingKind initial, const std::uint8_t* bytes, std::uint32_t length,
                             QWidget* parent, EncodingChoices choices = EncodingChoices::WithUtf8);

}  // namespace kotoha
