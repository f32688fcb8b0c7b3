#pragma once

// Start-up and the two boxes every screen shares.

// Fusion style, font mapping, names and icon: the look of every window.
// Needs a QApplication.
void applyApplicationLook();

// The look, then `Intro` shown; every other screen stays absent until first used.
void startApplication();

// "Sure you wish to exit?": the answer goes to Module1.ExitAnswer and Yes ends
// the process at once.
void exitConfirmation();

// The authorship credit.
void aboutBox();
