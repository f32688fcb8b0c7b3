#pragma once

// Start-up and the two boxes every screen shares.

// Fusion style, font mapping, then `Intro` shown; every other screen stays
// absent until first used. Needs a QApplication.
void startApplication();

// "Sure you wish to exit?": the answer goes to Module1.ExitAnswer and Yes ends
// the process at once.
void exitConfirmation();

// The authorship credit.
void aboutBox();
