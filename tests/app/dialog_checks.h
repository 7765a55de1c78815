// Whether a dialog shows every text whole: each control at least as wide
// as its text needs, no two controls on top of each other, all inside the
// dialog. Group boxes hold other controls and only need room for their
// titles.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <string>
#include <vector>

namespace kolvex::testing {

inline std::vector<std::string> LayoutFaults(const QWidget& dialog) {
    std::vector<std::string> faults;
    const auto name = [](const QWidget* w) {
        QString text;
        if (auto* b = qobject_cast<const QAbstractButton*>(w))
            text = b->text();
        else if (auto* l = qobject_cast<const QLabel*>(w))
            text = l->text();
        else if (auto* g = qobject_cast<const QGroupBox*>(w))
            text = g->title();
        return std::string(w->metaObject()->className()) + " '" + text.toStdString() + "'";
    };
    std::vector<QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isHidden())
            continue;
        const QRect place = child->geometry();
        if (!dialog.rect().contains(place))
            faults.push_back(name(child) + " sticks out of the dialog");
        int needed = 0;
        if (auto* push = qobject_cast<QPushButton*>(child))
            needed = push->fontMetrics().horizontalAdvance(push->text()) + 8;
        else if (auto* button = qobject_cast<QAbstractButton*>(child))
            needed = button->sizeHint().width();
        else if (auto* label = qobject_cast<QLabel*>(child))
            needed = label->sizeHint().width();
        else if (auto* group = qobject_cast<QGroupBox*>(child))
            needed = group->fontMetrics().horizontalAdvance(group->title()) + 16;
        else if (auto* combo = qobject_cast<QComboBox*>(child))
            needed = combo->sizeHint().width();
        if (place.width() < needed)
            faults.push_back(name(child) + " is " + std::to_string(place.width()) +
                             " px wide, its text needs " + std::to_string(needed));
        if (auto* button = qobject_cast<QAbstractButton*>(child);
            button && place.height() < button->fontMetrics().height())
            faults.push_back(name(child) + " is too low for its text");
        if (!qobject_cast<QGroupBox*>(child))
            controls.push_back(child);
    }
    for (size_t a = 0; a < controls.size(); ++a)
        for (size_t b = a + 1; b < controls.size(); ++b)
            if (controls[a]->geometry().intersects(controls[b]->geometry()))
                faults.push_back(name(controls[a]) + " overlaps " + name(controls[b]));
    return faults;
}

} // namespace kolvex::testing
