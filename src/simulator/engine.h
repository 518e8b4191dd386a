// The router console of a simulation question, without its window: how a typed
// line is read off the end of the console, normalised and judged against the
// commands the question expects, which prompt and device output follow, what
// "exit" and Ctrl+Z do, and the listing of the model answer.
//
// Console text here is the console's whole content with its lines separated by
// "\n", as a QPlainTextEdit gives and takes it (a "\r" before a "\n" is
// tolerated on input). The simulator window keeps one Console for the life of
// the program, so its state carries over from one opening to the next; it
// passes the console's text in on every key and writes back what comes out.
// The bank's linter drives this same code to prove every shipped lab.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace sim {

// "Press"Return" to Start": what a console shows before it is started.
inline const QString kStartLine = QStringLiteral("Press\"Return\" to Start");
// Printed whenever a configuration level is left for the privileged prompt.
inline const QString kConfiguredLine = QStringLiteral("%SYS-5-CONFIG_I: Configured from console by console");
// Title and texts of the console's information boxes.
inline const QString kTitle = QStringLiteral("Simulator");
inline const QString kRefusedText = QStringLiteral("This command is not supported in this Simulation");
inline const QString kRecordedText = QStringLiteral(" Your response has been recorded");
// Marks an output or value that is not there.
inline const QString kNone = QStringLiteral("NA");

// One expected command of a question (a SimCommands row with its values).
struct Command {
    long long index = 0;  // SimCommands.Index
    QString command;      // words separated by single blanks; "<name>" is a value word
    QString cmdPmt;       // prompt suffix at which it is expected
    QString resPmt;       // prompt suffix it leads to
    QString response;     // device output, lines separated by CR LF; "NA" = none
    QString devName;
    QStringList values;   // the text each value word accepts, in word order
    bool typed = false;   // CmdTyped = 1: accepted in this run
};

// The commands of one question, in Index order.
struct Lab {
    std::vector<Command> commands;
};

// Collapses runs of blanks: the first piece of the text split at single blanks,
// then " " and every later non-empty piece. A leading run keeps one blank.
QString RemSpacesInCmd(const QString& strCmdTyped);
// RemSpacesInCmd, then leading and trailing blanks removed: what is judged.
QString NormaliseCommand(const QString& typed);

// The command typed on the console's last prompt line: the last line when it is
// not empty and begins with the device name, else the line before it when that
// one does; what follows the first (device name + prompt) characters of it. No
// such line, or one shorter than its prompt: "".
QString CommandOnConsole(const QString& console, const QString& devName, const QString& prompt);

// Does a normalised typed line satisfy the command? Literal words accept any
// leading part of themselves, case-sensitively ("en", "enable"; not "EN",
// "enabel", "enables"); a value word accepts exactly its value, compared here
// and not by the database, whose text columns ignore letter case; a value word
// without its value accepts nothing. Words after the last command word are
// ignored.
bool Accepts(const Command& row, const QString& typed);

// The command as a candidate types it: value words replaced by their values (a
// value word without its value stays as it is).
QString FilledCommand(const Command& row);

// The prompt "exit" leads to: a configuration sub-level to "(config)#",
// "(config)#" and "(vlan)#" to "#", "#" to ">"; any other prompt (">" logs out
// instead) stays.
QString ExitPrompt(const QString& prompt);
// The configuration levels that "exit" to "#" or Ctrl+Z leave with kConfiguredLine.
bool IsConfigLevel(const QString& prompt);

// How a typed command fares at a prompt (ChkCmdTyped).
struct Judgement {
    enum Kind {
        NotExpected,  // the question expects nothing here: passes, nothing recorded
        Accepted,     // `row` is accepted (recorded, its prompt and output follow)
        Refused,      // not supported: the line stays for correction
    };
    Kind kind = NotExpected;
    const Command* row = nullptr;
};
// At a prompt with expected commands the first one not yet typed (in Index
// order) is compared; failing that, one already typed is accepted again, so a
// level can be entered again after "exit". Prompts compare without regard to
// letter case, as the stored prompts always have.
Judgement ChkCmdTyped(const Lab& lab, const QString& prompt, const QString& command);

// What a key does to the console. The window applies it in this order: write
// the text (replace or append), put the caret at the end, record `accepted`,
// show `box` (information icon, OK, title kTitle) when not empty, give the
// console the focus.
struct Reply {
    bool replaces = false;  // `text` is the console's whole new content
    QString text;           // else: appended at the end ("" = nothing to write)
    std::optional<long long> accepted;  // SimCommands.Index of the command accepted
    bool refused = false;
    QString box;

    QString Applied(const QString& console) const { return replaces ? text : console + text; }
};

// The console's state: started or not, the device name, the prompt, whether
// the last line was refused.
class Console {
public:
    // Return. `console` is the text as it stands (the key's own line break not
    // in it); `lab` the question's commands with their typed flags.
    Reply Enter(const QString& console, const Lab& lab);
    // Ctrl+Z: at a configuration level, back to "#" with kConfiguredLine and the
    // recorded-response box; anywhere else, and before the console has started
    // (its prompt may still be another question's), nothing.
    Reply CtrlZ();
    // One normalised command judged at the current prompt (ChkCmdTyped): an
    // accepted one moves the prompt and leaves its output pending until the
    // next prompt line is written; a refused one marks the line rejected.
    Judgement Judge(const Lab& lab, const QString& command);

    // A console restored from the file: started, at that device and prompt.
    void Restore(const QString& devName, const QString& prompt);
    // A fresh or reset console: not started (the next Return starts it), no
    // output pending.
    void Stop() {
        started_ = false;
        response_ = kNone;
    }

    bool Started() const { return started_; }
    const QString& DevName() const { return devName_; }
    const QString& Prompt() const { return prompt_; }
    // Device output waiting for the next prompt line; kNone when there is none.
    const QString& Response() const { return response_; }
    bool CmdRejected() const { return rejected_; }

private:
    // The next prompt line, after the pending output; nothing is pending after it.
    QString PromptLine();

    bool started_ = false;
    QString devName_;
    QString prompt_;
    QString response_ = kNone;
    bool rejected_ = false;
};

// The "Commands" listing of show-answer mode: a line per command, device name
// and prompt, then " " and each word with its value filled in, followed by its
// output unless "NA". With typedOnly, only the commands typed.
QString AnswerListing(const Lab& lab, bool typedOnly);

}  // namespace sim
