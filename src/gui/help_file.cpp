#include "help_file.h"

#include <QRegularExpression>

#include <algorithm>

namespace pictog::gui {

namespace {

    QString between(const QString& text, const QString& open, const QString& close)
    {
        const QRegularExpression element(
            QStringLiteral("<%1\\b[^>]*>(.*?)</%2\\s*>").arg(open, close),
            QRegularExpression::CaseInsensitiveOption
                | QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = element.match(text);
        return match.hasMatch() ? match.captured(1) : QString();
    }

} // namespace

HelpDocument HelpDocument::parse(const QString& html)
{
    static const QRegularExpression marker(QStringLiteral("<!--\\s*topic\\b(.*?)-->"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression attribute(QStringLiteral("(\\w+)\\s*=\\s*\"([^\"]*)\""));
    static const QRegularExpression bodyEnd(
        QStringLiteral("</body\\s*>"), QRegularExpression::CaseInsensitiveOption);

    HelpDocument document;
    QRegularExpressionMatchIterator markers = marker.globalMatch(html);
    const qsizetype headEnd = markers.hasNext() ? markers.peekNext().capturedStart() : html.size();
    const QString head = html.left(headEnd);
    document.m_title = between(head, QStringLiteral("title"), QStringLiteral("title")).trimmed();
    document.m_style = between(head, QStringLiteral("style"), QStringLiteral("style"));

    while (markers.hasNext()) {
        const QRegularExpressionMatch match = markers.next();
        HelpTopic topic;
        QRegularExpressionMatchIterator attributes = attribute.globalMatch(match.captured(1));
        while (attributes.hasNext()) {
            const QRegularExpressionMatch a = attributes.next();
            const QString name = a.captured(1).toLower();
            if (name == QLatin1String("id"))
                topic.id = a.captured(2).trimmed();
            else if (name == QLatin1String("title"))
                topic.title = a.captured(2).trimmed();
            else if (name == QLatin1String("keywords"))
                for (const QString& keyword : a.captured(2).split(QLatin1Char(';')))
                    if (!keyword.trimmed().isEmpty())
                        topic.keywords << keyword.trimmed();
        }
        const qsizetype start = match.capturedEnd();
        qsizetype end = markers.hasNext() ? markers.peekNext().capturedStart() : html.size();
        const qsizetype closing = html.indexOf(bodyEnd, start);
        if (closing >= 0 && closing < end)
            end = closing;
        topic.body = html.mid(start, end - start).trimmed();
        document.m_topics.push_back(std::move(topic));
    }
    return document;
}

const HelpTopic* HelpDocument::topic(const QString& id) const
{
    for (const HelpTopic& t : m_topics)
        if (!t.id.isEmpty() && t.id.compare(id, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

std::vector<const HelpTopic*> HelpDocument::topicsForKeyword(const QString& keyword) const
{
    std::vector<const HelpTopic*> found;
    for (const HelpTopic& t : m_topics)
        if (t.keywords.contains(keyword.trimmed(), Qt::CaseInsensitive))
            found.push_back(&t);
    return found;
}

std::vector<HelpIndexEntry> HelpDocument::index(const QString& filter) const
{
    std::vector<HelpIndexEntry> entries;
    const QString wanted = filter.trimmed();
    for (const HelpTopic& t : m_topics)
        for (const QString& keyword : t.keywords)
            if (keyword.contains(wanted, Qt::CaseInsensitive))
                entries.push_back({ keyword, &t });
    std::stable_sort(
        entries.begin(), entries.end(), [](const HelpIndexEntry& a, const HelpIndexEntry& b) {
            return a.keyword.compare(b.keyword, Qt::CaseInsensitive) < 0;
        });
    return entries;
}

QString HelpDocument::page(const QString& body) const
{
    return QStringLiteral("<html><head><style>%1</style></head><body>%2</body></html>")
        .arg(m_style, body);
}

} // namespace pictog::gui
