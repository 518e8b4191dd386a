#include "engine.h"

namespace sim {

namespace {

const QChar kBlank = QLatin1Char(' ');
const QChar kBreak = QLatin1Char('\n');

bool IsValueWord(const QString& word) { return word.startsWith(QLatin1Char('<')); }

// Stored output keeps the bank's CR LF line ends; the console's lines end in "\n".
QString ConsoleLines(QString stored) { return stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString WithoutCr(const QString& line) { return line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line; }

bool SamePrompt(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

QString RemSpacesInCmd(const QString& strCmdTyped) {
    if (strCmdTyped.isEmpty()) return QString();
    const QStringList pieces = strCmdTyped.split(kBlank);
    QString out = pieces.front();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        if (!pieces[i].isEmpty()) out += kBlank + pieces[i];
    return out;
}

QString NormaliseCommand(const QString& typed) {
    QString s = RemSpacesInCmd(typed);
    qsizetype b = 0;
    while (b < s.size() && s[b] == kBlank) ++b;
    qsizetype e = s.size();
    while (e > b && s[e - 1] == kBlank) --e;
    return s.mid(b, e - b);
}

QString CommandOnConsole(const QString& console, const QString& devName, const QString& prompt) {
    const QStringList lines = console.split(kBreak);
    QString line;
    const QString last = WithoutCr(lines.back());
    if (!last.isEmpty() && last.startsWith(devName)) {
        line = last;
    } else if (lines.size() >= 2 && WithoutCr(lines[lines.size() - 2]).startsWith(devName)) {
        line = WithoutCr(lines[lines.size() - 2]);
    } else {
        return QString();
    }
    // A line the candidate shortened into its prompt holds no command.
    return line.mid(devName.size() + prompt.size());
}

bool Accepts(const Command& row, const QString& typed) {
    const QStringList want = row.command.split(kBlank);
    const QStringList got = typed.split(kBlank);
    qsizetype value = 0;
    for (qsizetype k = 0; k < want.size(); ++k) {
        if (k >= got.size() || got[k].isEmpty()) return false;
        if (IsValueWord(want[k])) {
            if (value >= row.values.size() || got[k] != row.values[value]) return false;
            ++value;
        } else if (!want[k].startsWith(got[k], Qt::CaseSensitive)) {
            return false;
        }
    }
    return true;
}

QString FilledCommand(const Command& row) {
    QStringList words = row.command.split(kBlank);
    qsizetype value = 0;
    for (QString& w : words)
        if (IsValueWord(w) && value < row.values.size()) w = row.values[value++];
    return words.join(kBlank);
}

namespace {

bool IsSubLevel(const QString& prompt) {
    static const QStringList subLevels = {
        QStringLiteral("(config-router)#"), QStringLiteral("(config-if)#"),
        QStringLiteral("(config-line)#"),   QStringLiteral("(config-subif)#"),
        QStringLiteral("(config-controller)#"), QStringLiteral("(config-ext-nacl)#")};
    return subLevels.contains(prompt);
}

}  // namespace

QString ExitPrompt(const QString& prompt) {
    if (IsSubLevel(prompt)) return QStringLiteral("(config)#");
    if (prompt == QLatin1String("(config)#") || prompt == QLatin1String("(vlan)#")) return QStringLiteral("#");
    if (prompt == QLatin1String("#")) return QStringLiteral(">");
    return prompt;
}

bool IsConfigLevel(const QString& prompt) {
    return IsSubLevel(prompt) || prompt == QLatin1String("(config)#") || prompt == QLatin1String("(vlan)#");
}

Judgement ChkCmdTyped(const Lab& lab, const QString& prompt, const QString& command) {
    bool expected = false;
    const Command* next = nullptr;
    for (const Command& c : lab.commands) {
        if (!SamePrompt(c.cmdPmt, prompt)) continue;
        expected = true;
        if (!c.typed) {
            next = &c;
            break;
        }
    }
    if (!expected) return {Judgement::NotExpected, nullptr};
    if (next && Accepts(*next, command)) return {Judgement::Accepted, next};
    for (const Command& c : lab.commands)
        if (c.typed && SamePrompt(c.cmdPmt, prompt) && Accepts(c, command)) return {Judgement::Accepted, &c};
    return {Judgement::Refused, nullptr};
}

Judgement Console::Judge(const Lab& lab, const QString& command) {
    const Judgement j = ChkCmdTyped(lab, prompt_, command);
    rejected_ = j.kind == Judgement::Refused;
    if (j.kind == Judgement::Accepted) {
        prompt_ = j.row->resPmt;
        response_ = j.row->response;
    }
    return j;
}

QString Console::PromptLine() {
    QString line = kBreak;
    if (response_ != kNone) line += ConsoleLines(response_) + kBreak;
    response_ = kNone;
    return line + devName_ + prompt_;
}

Reply Console::Enter(const QString& console, const Lab& lab) {
    Reply r;
    rejected_ = false;
    if (!started_) {
        started_ = true;
        prompt_ = QStringLiteral(">");
        if (!lab.commands.empty()) devName_ = lab.commands.front().devName;
        r.text = kBreak + devName_ + prompt_;
        return r;
    }
    // Erased, or logged out: the key's line break stays above a fresh prompt line.
    if (!console.contains(kBreak)) {
        r.replaces = true;
        r.text = kBreak + devName_ + prompt_;
        return r;
    }
    const QString command = NormaliseCommand(CommandOnConsole(console, devName_, prompt_));
    if (command.compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0) {
        if (prompt_ == QLatin1String(">")) {
            r.replaces = true;
            r.text = kStartLine;
            return r;
        }
        const QString left = prompt_;
        prompt_ = ExitPrompt(prompt_);
        if (prompt_ == QLatin1String("#") && IsConfigLevel(left)) response_ = kConfiguredLine;
    } else if (!command.isEmpty()) {
        const Judgement j = Judge(lab, command);
        if (j.kind == Judgement::Refused) {
            r.refused = true;
            r.box = kRefusedText;
            return r;
        }
        if (j.kind == Judgement::Accepted) r.accepted = j.row->index;
    }
    r.text = PromptLine();
    return r;
}

Reply Console::CtrlZ() {
    Reply r;
    if (!started_ || !IsConfigLevel(prompt_)) return r;
    prompt_ = QStringLiteral("#");
    response_ = kNone;
    r.text = kBreak + kConfiguredLine + kBreak + devName_ + prompt_;
    r.box = kRecordedText;
    return r;
}

void Console::Restore(const QString& devName, const QString& prompt) {
    started_ = true;
    devName_ = devName;
    prompt_ = prompt;
    response_ = kNone;
    rejected_ = false;
}

QString AnswerListing(const Lab& lab, bool typedOnly) {
    QString text = QStringLiteral("Commands");
    for (const Command& c : lab.commands) {
        if (typedOnly && !c.typed) continue;
        text += kBreak + c.devName + c.cmdPmt;
        for (const QString& word : FilledCommand(c).split(kBlank)) text += kBlank + word;
        if (c.response != kNone) text += kBreak + ConsoleLines(c.response);
    }
    return text;
}

}  // namespace sim
