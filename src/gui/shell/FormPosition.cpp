#include "gui/shell/FormPosition.h"

#include "core/Settings.h"

#include <QApplication>
#include <QLocale>
#include <QMdiSubWindow>
#include <QWidget>

#include <cmath>

namespace {

const QString section = QStringLiteral("StartUp");

// The widget that carries the window's place: its frame inside the main window, or itself.
QWidget* placed(QWidget* form)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        return frame;
    return form;
}

bool isChildOfMainWindow(QWidget* form)
{
    return qobject_cast<QMdiSubWindow*>(form->parentWidget()) != nullptr;
}

QString twips(int pixels)
{
    return QString::number(pixels * TwipsPerPixel);
}

// Window-system coordinates are 16-bit; a stored place beyond that was never a real one.
constexpr int largestPixels = 32767;

// The stored measure in pixels; 0, as when nothing is stored, for text that is no number or a
// measure no screen could have, so a settings file edited by hand cannot keep a window from opening.
int pixels(const QString& key)
{
    bool ok = false;
    const double twipsValue = QLocale::c().toDouble(GetSetting(section, key, QStringLiteral("0")).trimmed(), &ok);
    if (!ok || !std::isfinite(twipsValue))
        return 0;
    const double value = std::nearbyint(twipsValue) / TwipsPerPixel;
    if (value > largestPixels || value < -largestPixels)
        return 0;
    return static_cast<int>(value);
}

} // namespace

QWidget* MainWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"mdiMain")
            return window;
    }
    return nullptr;
}

void SaveFormPosition(QWidget* form)
{
    const QString name = form->objectName();
    const QWidget* window = placed(form);
    SaveSetting(section, name + u"Top", twips(window->y()));
    SaveSetting(section, name + u"Left", twips(window->x()));
    SaveSetting(section, name + u"Height", twips(window->height()));
    SaveSetting(section, name + u"Width", twips(window->width()));
    SaveSetting(section, name + u"Maximized", window->isMaximized() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

void RestoreFormPosition(QWidget* form)
{
    const QString name = form->objectName();
    QWidget* window = placed(form);
    if (GetSetting(section, name + u"Maximized", QStringLiteral("FALSE")) == u"TRUE") {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    const int top = pixels(name + u"Top");
    const int left = pixels(name + u"Left");
    const int height = pixels(name + u"Height");
    const int width = pixels(name + u"Width");
    // A negative edge would put the window out of sight: it comes back to 0.
    const int y = top > 0 ? top : (top < 0 ? 0 : window->y());
    const int x = left > 0 ? left : (left < 0 ? 0 : window->x());
    window->move(x, y);
    window->resize(width > 0 ? width : window->width(), height > 0 ? height : window->height());

    const QWidget* main = MainWindow();
    if (isChildOfMainWindow(form) || window->x() != 0 || window->y() != 0 || !main || main == window)
        return;
    // Centred over an area the size of the main window, where the main window stands.
    window->move(main->x() + (main->width() - window->width()) / 2,
                 main->y() + (main->height() - window->height()) / 2);
}
