#pragma once

// The format of the program's help file, Pictog.hlp.
//
// The file is one UTF-8 HTML document, readable as a whole in any web browser, cut into topics by
// marker comments:
//
//     <!-- topic id="JID_Contents" title="Contents" keywords="Contents; overview" -->
//
// A topic runs from its marker to the next marker, or to </body> for the last one. id is the jump
// identifier the program asks for (compared without regard to case), title heads the viewer
// window, keywords (separated by ";") make up the keyword index. Links between topics are written
// href="#ID"; any other "#name" scrolls to <a name="name"> in the same topic, and a link with a
// scheme (https:, mailto:) goes to the desktop's handler. The text before the first marker is the
// document head: its <title> names the help, and its <style> element applies to every topic.

#include <QString>
#include <QStringList>

#include <vector>

namespace pictog::gui {

struct HelpTopic {
    QString id;
    QString title;
    QStringList keywords;
    QString body; // the topic's HTML, without head and body tags
};

// One keyword of the index and the topic it leads to.
struct HelpIndexEntry {
    QString keyword;
    const HelpTopic* topic;
};

class HelpDocument
{
public:
    // Cuts the document into topics; text without markers gives a document without topics.
    static HelpDocument parse(const QString& html);

    const QString& title() const { return m_title; }
    const std::vector<HelpTopic>& topics() const { return m_topics; }

    // The topic with that jump identifier (case ignored), or nullptr.
    const HelpTopic* topic(const QString& id) const;
    // The topics that carry the keyword (case ignored), in file order.
    std::vector<const HelpTopic*> topicsForKeyword(const QString& keyword) const;
    // Every keyword with its topic, sorted without regard to case; a filter keeps only the
    // keywords that contain it (case ignored).
    std::vector<HelpIndexEntry> index(const QString& filter = QString()) const;
    // A complete HTML page around a topic body, with the document's style.
    QString page(const QString& body) const;

private:
    QString m_title;
    QString m_style;
    std::vector<HelpTopic> m_topics;
};

} // namespace pictog::gui
