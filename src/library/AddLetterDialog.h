#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lw {

// The add-letter dialog. It hands its result back only through modMain's NewTitle and NewBody:
// both non-empty after Yes, at least one empty after Cancel.
class AddLetterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AddLetterDialog(QWidget* parent = nullptr);
    // Shows a title and body the user typed before, to change what was refused.
    void showTyped(const QString& title, const QString& body);

    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 2> Label1{};
    std::array<QLineEdit*, 1> T1{};
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdYes_Click();
};

} // namespace lw
