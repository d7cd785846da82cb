#pragma once

class QKeyEvent;

// Keys that change nothing in a text box (Escape, function keys, moving keys, locks, modifiers, Tab);
// every other key is an edit.
bool IsEditingKey(const QKeyEvent* key);

// For a field that takes digits only: true when the key is anything but a digit, Delete or
// Backspace. The computer has then beeped, and the key is to be discarded.
bool RefuseNonDigitKey(const QKeyEvent* key);
