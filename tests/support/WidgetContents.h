#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

namespace lw::test {

// The entries of a list or combo box, in order.
inline QStringList entries(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

inline QStringList entries(const QComboBox* combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result.append(combo->itemText(i));
    return result;
}

} // namespace lw::test
