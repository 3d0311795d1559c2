#pragma once

#include <QList>
#include <QString>

namespace voltaris {

// Message boxes go through this one interface: the desktop program shows a box, the
// command line prints to standard error (and answers questions from the terminal or its
// --yes flag), tests record and answer.
class UserMessages {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No, Ok, Cancel };

    virtual ~UserMessages() = default;
    virtual void show(Icon icon, const QString& title, const QString& text) = 0;
    virtual Answer askYesNo(Icon icon, const QString& title, const QString& text) = 0;

    // The sink the program reports through; never null (a silent sink until one is set).
    static UserMessages& current();
    static void setCurrent(UserMessages* sink);
};

// Keeps every message and answers questions with a fixed answer; for tests and batch use.
class RecordingMessages : public UserMessages {
public:
    struct Entry {
        Icon icon;
        QString title;
        QString text;
    };
    explicit RecordingMessages(Answer answer = Answer::No) : m_answer(answer) {}
    void show(Icon icon, const QString& title, const QString& text) override {
        m_entries.push_back({icon, title, text});
    }
    Answer askYesNo(Icon icon, const QString& title, const QString& text) override {
        m_entries.push_back({icon, title, text});
        return m_answer;
    }
    const QList<Entry>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    Answer m_answer;
    QList<Entry> m_entries;
};

// Installs a sink for the lifetime of the scope and puts the previous one back.
class ScopedMessages {
public:
    explicit ScopedMessages(UserMessages* sink) : m_previous(&UserMessages::current()) {
        UserMessages::setCurrent(sink);
    }
    ~ScopedMessages() { UserMessages::setCurrent(m_previous); }
    ScopedMessages(const ScopedMessages&) = delete;
    ScopedMessages& operator=(const ScopedMessages&) = delete;

private:
    UserMessages* m_previous;
};

}  // namespace voltaris
