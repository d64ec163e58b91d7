#include "platform/ContentFit.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QWidget>
#include <algorithm>

namespace lw::fit {

namespace {

const char* const neededSizeProperty = "neededSize";

// The least room kept between two controls, and between a control and its frame's edge.
constexpr int spacing = 2;

QString withoutMnemonic(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text.append(caption[i]);
    }
    return text;
}

// Only ink can be cut off: the blank side of the last character may stand outside.
int inkWidth(const QFontMetrics& metrics, const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0;
    return qMax(0, metrics.tightBoundingRect(text).right() + 1);
}

// What makes room for its content by itself: a frame or a plain panel without a layout.
bool isContainer(const QWidget* widget)
{
    const QMetaObject* kind = widget->metaObject();
    return !widget->layout() &&
           (qobject_cast<const QGroupBox*>(widget) || kind == &QWidget::staticMetaObject ||
            kind == &QFrame::staticMetaObject);
}

QList<QWidget*> placedChildren(const QWidget* container)
{
    QList<QWidget*> children;
    for (QObject* object : container->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !child->isHidden())
            children.append(child);
    }
    std::stable_sort(children.begin(), children.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    return children;
}

bool overlaps(int start1, int end1, int start2, int end2)
{
    return start1 < end2 && start2 < end1;
}

// Free room right of `at` up to the nearest control beside it, or to the container's inner edge.
int freeRight(const QWidget* container, const QWidget* control, const QRect& at)
{
    int limit = container->contentsRect().right() + 1;
    for (const QWidget* other : placedChildren(container)) {
        const QRect r = other->geometry();
        if (other != control && r.x() >= at.right() + 1 &&
            overlaps(at.top(), at.bottom() + 1, r.top(), r.bottom() + 1))
            limit = qMin(limit, r.x());
    }
    return limit - (at.right() + 1) - spacing;
}

int freeBelow(const QWidget* container, const QWidget* control, const QRect& at)
{
    int limit = container->contentsRect().bottom() + 1;
    for (const QWidget* other : placedChildren(container)) {
        const QRect r = other->geometry();
        if (other != control && r.y() >= at.bottom() + 1 &&
            overlaps(at.left(), at.right() + 1, r.left(), r.right() + 1))
            limit = qMin(limit, r.y());
    }
    return limit - (at.bottom() + 1) - spacing;
}

// Inserts `amount` pixels of room at the column `x` (or the row `y`) of a container: what starts
// there or beyond moves on, what spans it or ends there grows, so that edges in line stay so.
void insertColumn(QWidget* container, int x, int amount, const QWidget* except)
{
    for (QWidget* other : placedChildren(container)) {
        if (other == except)
            continue;
        const QRect r = other->geometry();
        if (r.x() >= x)
            other->move(r.x() + amount, r.y());
        else if (r.right() + 1 >= x)
            other->resize(r.width() + amount, r.height());
    }
}

void insertRow(QWidget* container, int y, int amount, const QWidget* except)
{
    for (QWidget* other : placedChildren(container)) {
        if (other == except)
            continue;
        const QRect r = other->geometry();
        if (r.y() >= y)
            other->move(r.x(), r.y() + amount);
        else if (r.bottom() + 1 >= y)
            other->resize(r.width(), r.height() + amount);
    }
}

QRect titleRect(const QGroupBox* box)
{
    if (box->title().isEmpty())
        return {};
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                        box);
}

// Grows one control to what it needs and makes room for it; returns how much the container
// grows.
QSize makeRoomIn(QWidget* container);

QSize fitControl(QWidget* container, QWidget* control)
{
    const QRect at = control->geometry();
    const QSize grown = isContainer(control) ? makeRoomIn(control) : QSize(0, 0);
    const QSize need =
        isContainer(control) ? at.size() + grown : contentSize(control).expandedTo(at.size());
    if (need == at.size())
        return {0, 0};
    control->resize(need);
    QSize shift(0, 0);
    const int wider = need.width() - at.width();
    if (wider > 0) {
        shift.setWidth(qMax(0, wider - qMax(0, freeRight(container, control, at))));
        if (shift.width() > 0)
            insertColumn(container, at.right() + 1, shift.width(), control);
    }
    const int taller = need.height() - at.height();
    if (taller > 0) {
        shift.setHeight(qMax(0, taller - qMax(0, freeBelow(container, control, at))));
        if (shift.height() > 0)
            insertRow(container, at.bottom() + 1, shift.height(), control);
    }
    return shift;
}

QSize makeRoomIn(QWidget* container)
{
    QSize grown(0, 0);
    if (container->layout())
        return grown;
    // A frame's controls stand below its title.
    if (const auto* box = qobject_cast<const QGroupBox*>(container)) {
        const QRect title = titleRect(box);
        if (title.isValid()) {
            const QList<QWidget*> children = placedChildren(container);
            int top = container->height();
            for (const QWidget* child : children)
                top = qMin(top, child->y());
            const int needed = title.bottom() + 1 + spacing - top;
            if (!children.isEmpty() && needed > 0) {
                insertRow(container, top, needed, nullptr);
                grown.rheight() += needed;
            }
            // The style cuts the title's place at the frame's width: measure the caption itself.
            const int titleWidth =
                2 * title.left() + container->fontMetrics().horizontalAdvance(
                                       withoutMnemonic(box->title()) + QStringLiteral("  "));
            grown.rwidth() += qMax(0, titleWidth - container->width());
        }
    }
    for (QWidget* child : placedChildren(container))
        grown += fitControl(container, child);
    return grown;
}

} // namespace

QSize contentSize(const QWidget* control)
{
    const QSize now = control->size();
    const QFontMetrics metrics = control->fontMetrics();
    const QStyle* style = control->style();
    // One line of text in a box, inside the box's frame.
    const int lineHeight = metrics.height() + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);

    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty())
            return now;
        const QMargins margins = label->contentsMargins();
        const int around = 2 * label->margin();
        if (label->wordWrap())
            return {now.width(), label->heightForWidth(now.width())};
        const QStringList lines =
            (label->buddy() ? withoutMnemonic(label->text()) : label->text()).split(u'\n');
        int width = 0;
        for (const QString& line : lines)
            width = qMax(width, inkWidth(metrics, line));
        return {width + margins.left() + margins.right() + around + qMax(0, label->indent()),
                metrics.height() * int(lines.size()) + margins.top() + margins.bottom() + around};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        const QString text = withoutMnemonic(button->text());
        if (text.isEmpty())
            return now;
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
            const bool radio = qobject_cast<const QRadioButton*>(control);
            const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                           : QStyle::PM_IndicatorWidth,
                                                     nullptr, control);
            const int indicatorHeight = style->pixelMetric(
                radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight, nullptr,
                control);
            const int space = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                       : QStyle::PM_CheckBoxLabelSpacing,
                                                 nullptr, control);
            // The focus frame drawn around the caption takes a pixel on either side.
            return {indicator + space + icon + inkWidth(metrics, text) + 2,
                    qMax(indicatorHeight, metrics.height())};
        }
        return {inkWidth(metrics, text) + icon +
                    2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control),
                lineHeight};
    }
    if ((qobject_cast<const QLineEdit*>(control) &&
         !qobject_cast<const QComboBox*>(control->parentWidget())) ||
        qobject_cast<const QComboBox*>(control) || qobject_cast<const QAbstractSpinBox*>(control))
        return {now.width(), lineHeight};
    return now.expandedTo(control->property(neededSizeProperty).toSize());
}

void setNeededSize(QWidget* control, const QSize& size)
{
    control->setProperty(neededSizeProperty, size);
}

QSize makeRoom(QWidget* container)
{
    return makeRoomIn(container);
}

QSize growToContent(QWidget* window)
{
    const QSize grown = makeRoom(window);
    if (grown.width() <= 0 && grown.height() <= 0)
        return {0, 0};
    const QSize size = window->size() + grown;
    if (window->minimumSize() == window->maximumSize())
        window->setFixedSize(size);
    else
        window->resize(size);
    return grown;
}

} // namespace lw::fit
