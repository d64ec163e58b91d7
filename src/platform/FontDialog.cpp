#include "platform/FontDialog.h"

#include "platform/Services.h"

#include <QAbstractItemModel>
#include <QGridLayout>
#include <QLabel>
#include <QListView>

namespace lw {

namespace {

// Qt lays its font dialog out on a grid: the size heading, its box and its list stand in the
// fifth column.
constexpr int sizeColumn = 4;

template <typename Widget> Widget* widgetAt(const QGridLayout* grid, int row, int column)
{
    const QLayoutItem* item = grid->itemAtPosition(row, column);
    return item ? qobject_cast<Widget*>(item->widget()) : nullptr;
}

} // namespace

FontDialog::FontDialog(const QFont& initial, double minPointSize, double maxPointSize,
                       QWidget* parent)
    : QFontDialog(parent), minimum(minPointSize), maximum(maxPointSize)
{
    // Qt's own dialog, also where the desktop offers one of its own: only this one can show the
    // limits.
    setOption(QFontDialog::DontUseNativeDialog);
    setCurrentFont(initial);
    if (minimum <= 0 && maximum <= 0)
        return;
    if (const auto* grid = qobject_cast<QGridLayout*>(layout())) {
        heading = widgetAt<QLabel>(grid, 0, sizeColumn);
        sizes = widgetAt<QListView>(grid, 2, sizeColumn);
    }
    if (heading && maximum > 0)
        heading->setText(
            QStringLiteral("%1 (%2 to %3)")
                .arg(heading->text(), QString::number(minimum), QString::number(maximum)));
    if (sizes && sizes->model()) {
        // The dialog refills the list for every face and style it shows.
        connect(sizes->model(), &QAbstractItemModel::modelReset, this,
                &FontDialog::hideSizesOutside);
        hideSizesOutside();
    }
}

void FontDialog::done(int result)
{
    if (result == Accepted && !fits(currentFont().pointSizeF())) {
        message(this,
                QStringLiteral("The size must be between %1 and %2 points.")
                    .arg(QString::number(minimum), QString::number(maximum)),
                QStringLiteral("Font"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    QFontDialog::done(result);
}

bool FontDialog::fits(double points) const
{
    return (minimum <= 0 || points >= minimum) && (maximum <= 0 || points <= maximum);
}

void FontDialog::hideSizesOutside()
{
    const QAbstractItemModel* model = sizes->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        bool number = false;
        const double points = model->index(row, 0).data().toString().toDouble(&number);
        sizes->setRowHidden(row, number && !fits(points));
    }
}

} // namespace lw
