#pragma once

#include <QFontDialog>
#include <QPointer>

class QLabel;
class QListView;

namespace lw {

// Qt's own font dialog held to a range of sizes: where the dialog is laid out as Qt lays it out,
// the size heading names the range and the size list offers only sizes within it; OK with any
// other size is refused with a message and the dialog stays open.
class FontDialog : public QFontDialog
{
    Q_OBJECT
public:
    // A limit of 0 is no limit.
    FontDialog(const QFont& initial, double minPointSize, double maxPointSize,
               QWidget* parent = nullptr);

    void done(int result) override;

    // The heading of the size column and the size list, where the dialog has them.
    QLabel* sizeHeading() const { return heading; }
    QListView* sizeList() const { return sizes; }

private:
    bool fits(double points) const;
    void hideSizesOutside();

    double minimum;
    double maximum;
    QPointer<QLabel> heading;
    QPointer<QListView> sizes;
};

} // namespace lw
