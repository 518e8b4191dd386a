// What a results rule has to tell the user: the message box a window shows for
// an outcome. The windows map the icon to their message-box style.
#pragma once

#include <QString>

namespace results {

enum class Icon { None, Information, Exclamation, Critical };

struct Message {
    QString text;  // empty: nothing to show
    Icon icon = Icon::Information;
    QString title;
    bool yesNo = false;  // a question with Yes and No; otherwise an OK button

    bool empty() const { return text.isEmpty(); }
};

}  // namespace results
