#include "screens/application.h"

#include "model/module1.h"
#include "platform/messages.h"
#include "resources/figures.h"
#include "screens/intro.h"
#include "screens/screens.h"
#include "toolkit/controls.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdint>

void applyApplicationLook()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The forms are a fixed-colour design: yellow highlights, a green label,
    // black figures on the box colours. Their own light palette keeps them as
    // laid out and readable whatever the desktop's theme or colour scheme.
    QApplication::setPalette(toolkit::formPalette());
    toolkit::installFontSubstitutions();
    QApplication::setApplicationName(QStringLiteral("Trajectrix"));
    QApplication::setApplicationVersion(QStringLiteral(TRAJECTRIX_VERSION));
    QApplication::setWindowIcon(appIcon());
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.trajectrix.Trajectrix"));
}

void startApplication()
{
    applyApplicationLook();
    // The program ends through the exit confirmation or when the close box
    // leaves no screen shown. Qt's own rule would quit when a message box
    // closes over the tool window Intro (which Qt does not count as a window),
    // and that quit asks every screen to close, which runs the confirmation.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Screens::show<Intro>();
}

void exitConfirmation()
{
    const int answer = platform::messageBox(QStringLiteral("Sure you wish to exit?"), QStringLiteral("Confirm"),
                                            platform::MessageButtons::YesNo);
    Module1.ExitAnswer = DynamicValue(static_cast<std::int32_t>(answer));
    if (Module1.ExitAnswer.toNumber() == platform::answerYes)
        platform::endProcess();
}

void aboutBox()
{
    platform::messageBox(QStringLiteral("Trajectrix Program\r"
                                        "Projectile calculator without air resistance\r"
                                        "Version " TRAJECTRIX_VERSION),
                         QStringLiteral("About"));
}
