#pragma once

#include <QMessageBox>
#include <QStringList>
#include <deque>

#include "uikit/MessageBox.h"

// Stands in for the person who reads message boxes: records every text and answers with the
// queued buttons (then with the default answer).  Restores the previous handler when destroyed.
class CMessageBoxRecorder {
public:
    explicit CMessageBoxRecorder(QMessageBox::StandardButton defaultAnswer = QMessageBox::Ok)
        : m_defaultAnswer(defaultAnswer)
    {
        m_previous = SetMessageBoxHandler([this](const CMessageBoxRequest& request) {
            m_requests.push_back(request);
            m_texts << request.text;
            if (!m_answers.empty()) {
                const auto answer = m_answers.front();
                m_answers.pop_front();
                return answer;
            }
            return m_defaultAnswer;
        });
    }
    ~CMessageBoxRecorder() { SetMessageBoxHandler(m_previous); }
    CMessageBoxRecorder(const CMessageBoxRecorder&) = delete;
    CMessageBoxRecorder& operator=(const CMessageBoxRecorder&) = delete;

    void QueueAnswer(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    const QStringList& Texts() const { return m_texts; }
    const std::deque<CMessageBoxRequest>& Requests() const { return m_requests; }
    void Clear()
    {
        m_texts.clear();
        m_requests.clear();
    }

private:
    QMessageBox::StandardButton m_defaultAnswer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<CMessageBoxRequest> m_requests;
    QStringList m_texts;
    MessageBoxHandler m_previous;
};
