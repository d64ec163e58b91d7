#include "editor/FillFieldsPanel.h"

#include "editor/DateFormat.h"
#include "editor/LetterEditor.h"
#include "editor/LetterFields.h"
#include "platform/Services.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace lw {

namespace {

constexpr int mostLines = 4;
// The field a date box's line edit stands for.
constexpr const char* fieldProperty = "letterwrightField";

bool isDateField(const QString& field)
{
    return field.compare(QLatin1String("[Date]"), Qt::CaseInsensitive) == 0;
}

// The field's name as the user reads it: without its brackets.
QString caption(const QString& field)
{
    return field.mid(1, field.size() - 2);
}

bool hasValue(const QString& value)
{
    return !value.trimmed().isEmpty();
}

} // namespace

FieldBox::FieldBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &FieldBox::fitLines);
    setFixedHeight(heightFor(1));
}

void FieldBox::setValue(const QString& value)
{
    if (value != toPlainText())
        setPlainText(value);
}

int FieldBox::heightFor(int lines) const
{
    // A line as the layout sets it, the document's margins above and below, the frame; and a
    // little room, so that a box of one line never shows a scroll bar.
    const QMargins margins = contentsMargins();
    return fontMetrics().lineSpacing() * lines + int(2 * document()->documentMargin()) +
           margins.top() + margins.bottom() + 2;
}

QSize FieldBox::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 30, heightFor(1)};
}

QSize FieldBox::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 12, heightFor(1)};
}

void FieldBox::fitLines()
{
    const int lines = std::clamp(document()->lineCount(), 1, mostLines);
    const int height = heightFor(lines);
    if (height != this->height())
        setFixedHeight(height);
    setVerticalScrollBarPolicy(document()->lineCount() > mostLines ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
}

void FieldBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (event->modifiers() & Qt::ShiftModifier)
            insertPlainText(QStringLiteral("\n"));
        else
            emit submitted();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FieldBox::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    emit focused();
}

FillFieldsPanel::FillFieldsPanel(QWidget* owner, LetterEditor* editor, LetterFields* fields)
    : ToolDialog(owner), RTB(editor), fields(fields), sender(SenderDetails::load())
{
    setObjectName(QStringLiteral("FillFieldsPanel"));
    setWindowTitle(QStringLiteral("Fill Fields"));

    lblIntro = new QLabel(
        QStringLiteral("Type what each field stands for and press Enter to fill it everywhere in "
                       "the letter; Shift+Enter starts a new line. Fill All fills every field that "
                       "has a value. F4 selects the next field in the letter."),
        this);
    nameControl(lblIntro, "lblIntro");
    lblIntro->setWordWrap(true);
    lblIntro->setTextFormat(Qt::PlainText);
    lblStatus = new QLabel(this);
    nameControl(lblStatus, "lblStatus", QStringLiteral("Fields left to fill"));
    lblStatus->setTextFormat(Qt::PlainText);

    scrFields = new QScrollArea(this);
    nameControl(scrFields, "scrFields", QStringLiteral("Fields"));
    scrFields->setWidgetResizable(true);
    scrFields->setFrameShape(QFrame::NoFrame);
    scrFields->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowsHost = new QWidget;
    rowsHost->setObjectName(QStringLiteral("rowsHost"));
    grid = new QGridLayout(rowsHost);
    grid->setColumnStretch(1, 1);
    grid->setAlignment(Qt::AlignTop);
    scrFields->setWidget(rowsHost);

    cmdSender = new QPushButton(QStringLiteral("Sender &Details..."), this);
    nameControl(cmdSender, "cmdSender");
    cmdFillAll = new QPushButton(QStringLiteral("Fill &All"), this);
    nameControl(cmdFillAll, "cmdFillAll");
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    nameControl(cmdClose, "cmdClose");
    // Enter belongs to the value boxes: no button is the default.
    for (QPushButton* button : {cmdSender, cmdFillAll, cmdClose}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmdSender);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdFillAll);
    buttonRow->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addWidget(lblStatus);
    layout->addWidget(scrFields, 1);
    layout->addLayout(buttonRow);

    connect(cmdSender, &QPushButton::clicked, this, &FillFieldsPanel::senderDetailsRequested);
    connect(cmdFillAll, &QPushButton::clicked, this, &FillFieldsPanel::cmdFillAll_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FillFieldsPanel::close);
    auto* next = new QShortcut(QKeySequence(Qt::Key_F4), this);
    connect(next, &QShortcut::activated, this, &FillFieldsPanel::nextFieldRequested);
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4), this);
    connect(previous, &QShortcut::activated, this, &FillFieldsPanel::previousFieldRequested);

    // Typing in the letter changes its fields a keystroke at a time: the list follows once the
    // keystrokes pause for the event loop.
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &FillFieldsPanel::refresh);
    connect(fields, &LetterFields::fieldsChanged, &pending, qOverload<>(&QTimer::start));
    connect(fields, &LetterFields::documentReplaced, this, &FillFieldsPanel::forgetTyping);

    refresh();
    // Every row in view where the screen has room for them.
    const QScreen* screen = owner ? owner->screen() : nullptr;
    const int room = screen ? screen->availableGeometry().height() * 3 / 4 : 600;
    const int around = layout->sizeHint().height() - scrFields->sizeHint().height();
    resize(std::max(fontMetrics().averageCharWidth() * 72, minimumSizeHint().width()),
           std::clamp(around + rowsHost->sizeHint().height(), fontMetrics().lineSpacing() * 20,
                      std::max(room, fontMetrics().lineSpacing() * 20)));
    focusRow(0);
}

QStringList FillFieldsPanel::listedFields() const
{
    return listed;
}

QWidget* FillFieldsPanel::boxOf(const QString& field) const
{
    return rows.value(field).box;
}

QPushButton* FillFieldsPanel::fillButtonOf(const QString& field) const
{
    return rows.value(field).fill;
}

QLabel* FillFieldsPanel::labelOf(const QString& field) const
{
    return rows.value(field).label;
}

QString FillFieldsPanel::valueOf(const QString& field) const
{
    const QWidget* box = boxOf(field);
    if (const auto* text = qobject_cast<const FieldBox*>(box))
        return text->value();
    if (const auto* date = qobject_cast<const QComboBox*>(box))
        return date->currentText();
    return {};
}

void FillFieldsPanel::setValueOf(const QString& field, const QString& value)
{
    QWidget* box = boxOf(field);
    if (auto* text = qobject_cast<FieldBox*>(box))
        text->setValue(value);
    else if (auto* date = qobject_cast<QComboBox*>(box))
        date->setEditText(value);
}

QString FillFieldsPanel::offeredValue(const QString& field) const
{
    if (const auto found = typed.constFind(field); found != typed.cend())
        return *found;
    if (isDateField(field))
        return formatDateTime(services().clock->now(), timeDateRowFormats().constFirst(),
                              QLocale());
    return sender.valueFor(field).value_or(QString());
}

FillFieldsPanel::Row FillFieldsPanel::makeRow(const QString& field)
{
    const QString name = caption(field);
    Row row;
    row.label = new QLabel(name, rowsHost);
    row.label->setTextFormat(Qt::PlainText);
    row.label->setWordWrap(false);
    // Level with the first line of its box.
    row.label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (isDateField(field)) {
        auto* date = new QComboBox(rowsHost);
        date->setEditable(true);
        date->setInsertPolicy(QComboBox::NoInsert);
        date->setCompleter(nullptr);
        // The date dialog's formats, its first one offered.
        date->addItems(timeDateRows([] { return services().clock->now(); }, QLocale()));
        connect(date->lineEdit(), &QLineEdit::returnPressed, this,
                [this, field] { fillField(field); });
        connect(date, &QComboBox::currentTextChanged, this,
                [this, field](const QString& text) { edited(field, text); });
        date->lineEdit()->setProperty(fieldProperty, field);
        date->lineEdit()->installEventFilter(this);
        row.box = date;
    } else {
        auto* text = new FieldBox(rowsHost);
        connect(text, &FieldBox::submitted, this, [this, field] { fillField(field); });
        connect(text, &QPlainTextEdit::textChanged, this,
                [this, field, text] { edited(field, text->value()); });
        connect(text, &FieldBox::focused, this, [this, field] { showInEditor(field); });
        row.box = text;
    }
    row.label->setMinimumHeight(row.box->sizeHint().height());
    row.box->setObjectName(QStringLiteral("box ") + field);
    row.box->setAccessibleName(name);
    row.box->setToolTip(QStringLiteral("Fills every %1 of the letter").arg(field));
    row.label->setBuddy(row.box);
    row.fill = new QPushButton(QStringLiteral("Fill"), rowsHost);
    row.fill->setObjectName(QStringLiteral("fill ") + field);
    row.fill->setAccessibleName(QStringLiteral("Fill ") + name);
    row.fill->setAutoDefault(false);
    // Tab goes from box to box; Enter in a box is its Fill.
    row.fill->setFocusPolicy(Qt::NoFocus);
    connect(row.fill, &QPushButton::clicked, this, [this, field] { fillField(field); });

    settingValue = true;
    rows.insert(field, row);
    const QString offered = offeredValue(field);
    if (auto* date = qobject_cast<QComboBox*>(row.box); date && !typed.contains(field))
        date->setCurrentIndex(0);
    else
        setValueOf(field, offered);
    row.fill->setEnabled(hasValue(valueOf(field)));
    settingValue = false;
    return row;
}

void FillFieldsPanel::edited(const QString& field, const QString& value)
{
    if (const Row row = rows.value(field); row.fill)
        row.fill->setEnabled(hasValue(value));
    if (!settingValue)
        typed.insert(field, value);
}

void FillFieldsPanel::refresh()
{
    pending.stop();
    if (!fields)
        return;
    const QStringList all = fields->fields();
    const QStringList now = all.mid(0, maximumRows);

    if (all.isEmpty())
        lblStatus->setText(QStringLiteral("No field left to fill."));
    else if (all.size() == 1)
        lblStatus->setText(QStringLiteral("1 field left to fill."));
    else if (all.size() > maximumRows)
        lblStatus->setText(QStringLiteral("%1 fields left to fill; the first %2 are listed.")
                               .arg(all.size())
                               .arg(maximumRows));
    else
        lblStatus->setText(QStringLiteral("%1 fields left to fill.").arg(all.size()));
    cmdFillAll->setEnabled(!all.isEmpty());
    if (now == listed)
        return;

    // Where the keyboard was, to keep it in the list.
    int focusedIndex = -1;
    QString focusedField;
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < listed.size(); ++i) {
        const QWidget* box = rows.value(listed[i]).box;
        if (box && focus && (focus == box || box->isAncestorOf(focus))) {
            focusedIndex = i;
            focusedField = listed[i];
        }
    }

    for (const QString& field : std::as_const(listed)) {
        if (now.contains(field))
            continue;
        const Row row = rows.take(field);
        for (QWidget* widget :
             {static_cast<QWidget*>(row.label), row.box, static_cast<QWidget*>(row.fill)}) {
            grid->removeWidget(widget);
            widget->hide();
            // Possibly in the middle of its own key press.
            widget->deleteLater();
        }
    }
    for (int i = 0; i < now.size(); ++i) {
        const QString& field = now[i];
        Row row = rows.contains(field) ? rows.value(field) : makeRow(field);
        grid->addWidget(row.label, i, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(row.box, i, 1, Qt::AlignTop);
        grid->addWidget(row.fill, i, 2, Qt::AlignTop);
    }
    listed = now;

    QWidget* previous = nullptr;
    for (const QString& field : std::as_const(listed)) {
        QWidget* box = rows.value(field).box;
        if (previous)
            setTabOrder(previous, box);
        previous = box;
    }
    if (previous)
        setTabOrder(previous, cmdSender);
    setTabOrder(cmdSender, cmdFillAll);
    setTabOrder(cmdFillAll, cmdClose);

    // The rows are never cut off at the side: the list is as wide as its widest row.
    scrFields->setMinimumWidth(rowsHost->minimumSizeHint().width() +
                               scrFields->verticalScrollBar()->sizeHint().width() +
                               2 * scrFields->frameWidth());

    if (focusedIndex >= 0 && !listed.contains(focusedField))
        focusRow(focusedIndex);
}

void FillFieldsPanel::focusRow(int index)
{
    if (listed.isEmpty()) {
        cmdClose->setFocus();
        return;
    }
    const QString& field = listed.at(std::clamp(index, 0, int(listed.size() - 1)));
    QWidget* box = rows.value(field).box;
    box->setFocus();
    scrFields->ensureWidgetVisible(box);
}

void FillFieldsPanel::showInEditor(const QString& field)
{
    if (!RTB || !fields || filling)
        return;
    const QList<FieldOccurrence> places = fields->occurrences(field);
    if (places.isEmpty())
        return;
    RTB->setSelStart(places.first().position);
    RTB->setSelLength(places.first().length);
}

void FillFieldsPanel::fillField(const QString& field)
{
    if (!fields)
        return;
    const QString value = valueOf(field);
    if (!hasValue(value)) {
        QApplication::beep();
        return;
    }
    const int index = int(listed.indexOf(field));
    filling = true;
    fields->fill(field, value);
    refresh();
    filling = false;
    if (!listed.contains(field))
        focusRow(index);
}

void FillFieldsPanel::cmdFillAll_Click()
{
    if (!fields)
        return;
    QList<std::pair<QString, QString>> values;
    for (const QString& field : std::as_const(listed)) {
        const QString value = valueOf(field);
        if (hasValue(value))
            values.append({field, value});
    }
    if (values.isEmpty()) {
        QApplication::beep();
        return;
    }
    filling = true;
    fields->fill(values);
    refresh();
    filling = false;
    if (!listed.isEmpty())
        focusRow(0);
}

void FillFieldsPanel::senderChanged(const SenderDetails& details)
{
    sender = details;
    settingValue = true;
    const QStringList senderFields = SenderDetails::fields();
    for (const QString& field : std::as_const(listed)) {
        if (!typed.contains(field) && senderFields.contains(field, Qt::CaseInsensitive))
            setValueOf(field, sender.valueFor(field).value_or(QString()));
    }
    settingValue = false;
}

bool FillFieldsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        const QVariant field = watched->property(fieldProperty);
        if (field.isValid())
            showInEditor(field.toString());
    }
    return ToolDialog::eventFilter(watched, event);
}

void FillFieldsPanel::forgetTyping()
{
    // Values typed for another letter must not be offered for this one.
    typed.clear();
    settingValue = true;
    for (const QString& field : std::as_const(listed)) {
        if (auto* date = qobject_cast<QComboBox*>(rows.value(field).box))
            date->setCurrentIndex(0);
        else
            setValueOf(field, offeredValue(field));
    }
    settingValue = false;
}

} // namespace lw
