#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace cw {

// True when that very window is among the application's loaded windows.
bool isFormLoaded(const QWidget* form);

// Hands a document path or web address to the desktop's default opener;
// the result is not examined.
void openWithShell(const QString& target);

// Tahoma 8.25 pt, or the nearest sans-serif font installed.
QFont paneFont();

} // namespace cw
