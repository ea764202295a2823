#pragma once
// A stand-in for the window's dialogs: answers from a script of replies, and writes down every message
// box and opened address instead of showing anything.
#include "dialogs/Dialogs.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace pwtest {

class RecordingDialogs : public pw::Dialogs {
public:
    std::deque<std::optional<pw::SaveChoice>> saveAnswers;  // empty: the dialog is cancelled
    std::deque<std::optional<QString>> folderAnswers;          // empty: the dialog is cancelled
    std::deque<std::optional<QString>> addonAnswers;           // empty: the dialog is cancelled
    std::deque<std::optional<QString>> newFolderAnswers;       // empty: the dialog is cancelled
    std::deque<bool> goOnAnswers;                              // empty: go on
    std::deque<bool> yesNoAnswers;                             // empty: No
    QStringList messages;
    QList<pw::MessageKind> messageKinds;  // the icon of each message box, in the same order
    QList<pw::SaveSuggestion> saveSuggestions;
    QStringList folderStarts;
    QStringList addonStarts;
    QStringList newFolderProposals;
    QStringList questions;  // the text of each question asked with askGoOn
    QList<QUrl> openedUrls;
    bool opens = true;  // whether the desktop has a program that opens what is asked
    int eventRounds = 0;
    std::function<void()> onProcessEvents;  // what a person does while the window processes its events

    std::optional<pw::SaveChoice> askSaveFile(QWidget*, const pw::SaveSuggestion& suggestion) override
    {
        saveSuggestions.append(suggestion);
        return Next(saveAnswers);
    }
    std::optional<QString> askFolder(QWidget*, const QString& start) override
    {
        folderStarts.append(start);
        return Next(folderAnswers);
    }
    std::optional<QString> askAddon(QWidget*, const QString&, const QString& start) override
    {
        addonStarts.append(start);
        return Next(addonAnswers);
    }
    std::optional<QString> askNewFolder(QWidget*, const QString&, const QString& proposed) override
    {
        newFolderProposals.append(proposed);
        return Next(newFolderAnswers);
    }
    bool askGoOn(QWidget*, const QString& text, const QString&, const QString&) override
    {
        questions.append(text);
        if (goOnAnswers.empty())
            return true;
        const bool answer = goOnAnswers.front();
        goOnAnswers.pop_front();
        return answer;
    }
    void showMessage(QWidget*, const QString& text, pw::MessageKind kind) override
    {
        messages.append(text);
        messageKinds.append(kind);
    }
    // Recorded with the messages; answered from yesNoAnswers, No when it is empty.
    bool askYesNo(QWidget*, const QString& text) override
    {
        messages.append(text);
        messageKinds.append(pw::MessageKind::Information);
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    bool openUrl(const QUrl& url) override
    {
        openedUrls.append(url);
        return opens;
    }
    void processEvents() override
    {
        ++eventRounds;
        if (onProcessEvents)
            onProcessEvents();
    }

private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        std::optional<T> a;
        a.swap(answers.front());
        answers.pop_front();
        return a;
    }
};

}  // namespace pwtest
