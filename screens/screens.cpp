#include "screens/screens.h"

#include "toolkit/accessibility.h"

#include <map>
#include <utility>

namespace {

std::map<std::type_index, QPointer<Screen>> &registry()
{
    static std::map<std::type_index, QPointer<Screen>> screens;
    return screens;
}

void destroy(Screen *screen)
{
    screen->hide();
    screen->setObjectName(QString());
    screen->deleteLater();
}

} // namespace

Screen *Screens::find(std::type_index type)
{
    const auto it = registry().find(type);
    return it == registry().end() ? nullptr : it->second.data();
}

void Screens::adopt(std::type_index type, Screen *screen)
{
    registry()[type] = screen;
    // Before the load step: it may already show the screen and open a box over it.
    toolkit::nameControlsFromLabels(screen);
    screen->fitToScreen();
}

void Screens::discard(std::type_index type)
{
    const auto it = registry().find(type);
    if (it == registry().end())
        return;
    QPointer<Screen> screen = std::move(it->second);
    registry().erase(it);
    if (screen)
        destroy(screen);
}

void Screens::discard(Screen *screen)
{
    for (const auto &[type, known] : registry()) {
        if (known == screen) {
            discard(type);
            return;
        }
    }
}

void Screens::bringToFront(Screen *screen)
{
    if (screen->isMinimized())
        screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->show();
    screen->raise();
    screen->activateWindow();
}

bool Screens::anyShown()
{
    for (const auto &[type, screen] : registry())
        if (screen && screen->isVisible())
            return true;
    return false;
}

void Screens::discardAll()
{
    auto screens = std::exchange(registry(), {});
    for (auto &[type, screen] : screens)
        if (screen)
            destroy(screen);
}
