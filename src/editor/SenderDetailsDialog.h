#pragma once

#include "editor/SenderDetails.h"

#include <QDialog>
#include <array>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace lw {

// The user's own name, title, company, address, phone and e-mail, kept in the settings; the
// "[Your ...]" fields of every letter are offered filled with them. OK saves, Esc cancels.
class SenderDetailsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SenderDetailsDialog(QWidget* owner);

    // The details as the boxes hold them.
    SenderDetails details() const;
    void setDetails(const SenderDetails& details);

    // Saves the details; on success closes and tells of them, otherwise says what failed and
    // stays open.
    void accept() override;

    enum Box { Name, Title, Company, Street, CityLine, Phone, Email, BoxCount };
    std::array<QLineEdit*, BoxCount> boxes{};
    QDialogButtonBox* buttons = nullptr;

signals:
    void saved(const SenderDetails& details);
};

} // namespace lw
