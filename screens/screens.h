#pragma once

// The screen registry: each screen type exists at most once, is created on
// first use and runs its load step right after creation.
//
//   show<T>()    create and load if absent, then make visible and bring to the front
//   hide<T>()    create and load if absent, then make invisible; all control state stays
//   discard<T>() destroy it with its control state; the next use creates it afresh
//   get<T>()     the screen, created and loaded if absent (to use one of its controls)
//
// Discard may be called from a handler of the screen being discarded: the
// registry forgets it at once and Qt deletes it when control returns to the
// event loop.

#include "screens/screen.h"

#include <QPointer>

#include <typeindex>
#include <typeinfo>

class Screens
{
public:
    template <class T>
    static T *get()
    {
        if (Screen *existing = find(typeid(T)))
            return static_cast<T *>(existing);
        auto *created = new T;
        adopt(typeid(T), created);
        // The load step may show the screen, or discard it again.
        QPointer<Screen> guard(created);
        static_cast<Screen *>(created)->Form_Load();
        return guard ? created : nullptr;
    }

    template <class T>
    static void show()
    {
        if (T *screen = get<T>())
            bringToFront(screen);
    }

    template <class T>
    static void hide()
    {
        if (T *screen = get<T>())
            screen->hide();
    }

    template <class T>
    static void discard()
    {
        discard(typeid(T));
    }

    // The screen of whatever type `screen` is.
    static void discard(Screen *screen);

    template <class T>
    static bool exists()
    {
        return find(typeid(T)) != nullptr;
    }

    // True while at least one existing screen is visible.
    static bool anyShown();
    // Every screen discarded: the state at start-up.
    static void discardAll();

private:
    static Screen *find(std::type_index type);
    static void adopt(std::type_index type, Screen *screen);
    static void discard(std::type_index type);
    static void bringToFront(Screen *screen);
};
