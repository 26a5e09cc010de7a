#pragma once

// Makes sure a QApplication exists for the Qt objects under test. It is created once and
// never run: the tests drive Qt's blocking calls and processEvents themselves.
void ensureQtApp();
