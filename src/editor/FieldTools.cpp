#include "editor/FieldTools.h"

#include "editor/FieldHighlight.h"
#include "editor/FillFieldsPanel.h"
#include "editor/LetterEditor.h"
#include "editor/LetterFields.h"
#include "editor/SenderDetailsDialog.h"
#include "platform/Services.h"

#include <QScreen>
#include <QTextEdit>
#include <algorithm>

namespace lw {

namespace {

constexpr int namedAtMost = 5;

} // namespace

FieldTools::FieldTools(QWidget* owner, LetterEditor* editor, const FieldVocabulary& vocabulary)
    : QObject(owner), owner(owner), editor(editor),
      letterFields(new LetterFields(editor->document(), vocabulary, this)),
      tint(new FieldHighlight(editor->textEdit(), letterFields))
{
    connect(editor, &LetterEditor::documentReplaced, letterFields,
            [this] { letterFields->setDocument(this->editor->document()); });
}

FieldTools::~FieldTools() = default;

void FieldTools::showFillFields()
{
    if (!fillFieldsPanel()) {
        panel = new FillFieldsPanel(owner, editor, letterFields);
        connect(panel, &FillFieldsPanel::senderDetailsRequested, this,
                &FieldTools::showSenderDetails);
        connect(panel, &FillFieldsPanel::nextFieldRequested, this, &FieldTools::nextField);
        connect(panel, &FillFieldsPanel::previousFieldRequested, this, &FieldTools::previousField);
        placeBeside(panel);
    }
    panel->bringForward();
}

void FieldTools::placeBeside(QWidget* window) const
{
    // Beside the main window where the screen has room, so that the letter stays in view;
    // otherwise over its left side, the library list, which filling leaves alone.
    const QSize size = window->size().expandedTo(window->minimumSizeHint());
    const QRect main = owner->frameGeometry();
    const QScreen* screen = owner->screen();
    const QRect room = screen ? screen->availableGeometry() : main;
    const int top =
        std::clamp(main.top(), room.top(), std::max(room.top(), room.bottom() - size.height()));
    if (main.right() + size.width() < room.right())
        window->move(main.right() + 1, top);
    else if (main.left() - size.width() > room.left())
        window->move(main.left() - size.width() - 1, top);
    else
        window->move(owner->mapToGlobal(QPoint(owner->width() / 60, owner->height() / 10)));
}

void FieldTools::select(int position, int length)
{
    editor->setSelStart(position);
    editor->setSelLength(length);
}

void FieldTools::nextField()
{
    if (!editor)
        return;
    const int after = editor->SelStart() + editor->SelLength();
    if (const std::optional<FieldOccurrence> field = letterFields->nextField(after)) {
        select(field->position, field->length);
        return;
    }
    message(owner, QStringLiteral("Every field of the letter is filled."),
            QStringLiteral("Next Field"), MsgButtons::Ok, MsgIcon::Information);
}

void FieldTools::previousField()
{
    if (!editor)
        return;
    if (const std::optional<FieldOccurrence> field =
            letterFields->previousField(editor->SelStart())) {
        select(field->position, field->length);
        return;
    }
    message(owner, QStringLiteral("Every field of the letter is filled."),
            QStringLiteral("Previous Field"), MsgButtons::Ok, MsgIcon::Information);
}

void FieldTools::showSenderDetails()
{
    if (!sender) {
        QWidget* parent = panel && panel->isVisible() ? static_cast<QWidget*>(panel) : owner;
        sender = new SenderDetailsDialog(parent);
        sender->setAttribute(Qt::WA_DeleteOnClose);
        connect(sender, &SenderDetailsDialog::saved, this, [this](const SenderDetails& details) {
            if (panel)
                panel->senderChanged(details);
        });
        // Modal, without blocking the caller: the dialog answers through its signals.
        sender->open();
    }
    sender->raise();
    sender->activateWindow();
}

QString FieldTools::unfilledQuestion(const QStringList& fields, const QString& action)
{
    const int count = int(fields.size());
    QString named = fields.mid(0, namedAtMost).join(QStringLiteral(", "));
    if (count > namedAtMost)
        named += QStringLiteral(" and %1 more").arg(count - namedAtMost);
    const QString lead = count == 1 ? QStringLiteral("1 field is still unfilled")
                                    : QStringLiteral("%1 fields are still unfilled").arg(count);
    return QStringLiteral("%1: %2. %3 anyway?").arg(lead, named, action);
}

bool FieldTools::confirmFilled(const QString& action)
{
    const QStringList unfilled = letterFields->fields();
    if (unfilled.isEmpty())
        return true;
    if (message(owner, unfilledQuestion(unfilled, action), action, MsgButtons::YesNo,
                MsgIcon::Exclamation) == MsgAnswer::Yes)
        return true;
    if (const std::optional<FieldOccurrence> first = letterFields->firstField()) {
        ToolDialog::focusEditor(editor);
        select(first->position, first->length);
    }
    return false;
}

void FieldTools::closeAll()
{
    if (sender)
        sender->close();
    if (FillFieldsPanel* open = fillFieldsPanel())
        open->close();
}

FillFieldsPanel* FieldTools::fillFieldsPanel() const
{
    // Esc hides the panel without a close event; it is deleted at the next turn of the event loop.
    return panel && !panel->isClosed() && panel->isVisible() ? panel.data() : nullptr;
}

SenderDetailsDialog* FieldTools::senderDialog() const
{
    return sender;
}

} // namespace lw
