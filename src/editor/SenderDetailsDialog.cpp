#include "editor/SenderDetailsDialog.h"

#include "platform/Services.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lw {

namespace {

struct BoxDefinition
{
    const char* objectName;
    const char* caption;
    const char* field;
};

constexpr BoxDefinition definitions[] = {
    {"txtName", "&Name:", "[Your Name]"},
    {"txtTitle", "&Title:", "[Your Title]"},
    {"txtCompany", "Compan&y:", "[Your Company]"},
    {"txtStreet", "&Street address:", "[Your Street Address]"},
    {"txtCityLine", "C&ity, state and ZIP:", "[Your City, State ZIP]"},
    {"txtPhone", "&Phone:", "[Your Phone]"},
    {"txtEmail", "&E-mail:", "[Your Email]"},
};

QString withoutMnemonic(const char* caption)
{
    return QString::fromUtf8(caption).remove(u'&');
}

} // namespace

SenderDetailsDialog::SenderDetailsDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("SenderDetailsDialog"));
    setWindowTitle(QStringLiteral("Sender Details"));

    auto* intro = new QLabel(
        QStringLiteral("Your own details. Every letter's [Your Name], [Your Company] and other "
                       "[Your ...] fields are offered filled with them."),
        this);
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);

    auto* form = new QFormLayout;
    for (int i = 0; i < BoxCount; ++i) {
        const BoxDefinition& definition = definitions[i];
        auto* label = new QLabel(QString::fromUtf8(definition.caption), this);
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(definition.objectName));
        box->setAccessibleName(withoutMnemonic(definition.caption).chopped(1));
        box->setAccessibleDescription(
            QStringLiteral("Fills %1").arg(QString::fromLatin1(definition.field)));
        box->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
        label->setBuddy(box);
        form->addRow(label, box);
        boxes[i] = box;
    }

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SenderDetailsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SenderDetailsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);

    setDetails(SenderDetails::load());
    boxes[Name]->setFocus();
}

SenderDetails SenderDetailsDialog::details() const
{
    SenderDetails result;
    result.name = boxes[Name]->text();
    result.title = boxes[Title]->text();
    result.company = boxes[Company]->text();
    result.street = boxes[Street]->text();
    result.cityLine = boxes[CityLine]->text();
    result.phone = boxes[Phone]->text();
    result.email = boxes[Email]->text();
    return result;
}

void SenderDetailsDialog::setDetails(const SenderDetails& details)
{
    boxes[Name]->setText(details.name);
    boxes[Title]->setText(details.title);
    boxes[Company]->setText(details.company);
    boxes[Street]->setText(details.street);
    boxes[CityLine]->setText(details.cityLine);
    boxes[Phone]->setText(details.phone);
    boxes[Email]->setText(details.email);
}

void SenderDetailsDialog::accept()
{
    const SenderDetails chosen = details();
    QString error;
    if (!chosen.save(&error)) {
        message(this, error + QStringLiteral("\n\nThe sender details have not been saved."),
                QStringLiteral("Sender Details"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    emit saved(chosen);
    QDialog::accept();
}

} // namespace lw
