#pragma once

// Helpers shared by the main window's sources.

#include <QComboBox>
#include <QString>

#include <string>
#include <string_view>

namespace pictog::gui {

// The core's UTF-8 text as the widgets show it, and back.
inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ss(const QString& text)
{
    return text.toStdString();
}

// The entry a list stands on, or -1 when none is selected or the user typed over its text.
inline int listEntry(const QComboBox* box)
{
    const int index = box->currentIndex();
    return index >= 0 && box->currentText() == box->itemText(index) ? index : -1;
}

} // namespace pictog::gui
