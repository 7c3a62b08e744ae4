#include "html_diagram.h"

#include "settings/pictog_params.h"

namespace pictog {

namespace {

    // Collects fragments, each followed by CR LF unless the code is compact.
    class FragmentWriter
    {
    public:
        explicit FragmentWriter(bool compact)
            : m_compact(compact)
        {
            m_text.reserve(compact ? 12000 : 14000);
        }

        // Appends the pieces of one fragment, then its line end.
        template <class... Parts> void fragment(const Parts&... parts)
        {
            (m_text.append(std::string_view(parts)), ...);
            if (!m_compact)
                m_text.append("\r\n");
        }

        std::string take() { return std::move(m_text); }

    private:
        bool m_compact;
        std::string m_text;
    };

    // Colour letter and piece letter of the image stem ("wk") for codes 1..12; null otherwise.
    const char* pieceStem(int code)
    {
        static constexpr const char* stems[]
            = { "wp", "wn", "wb", "wr", "wq", "wk", "bp", "bn", "bb", "br", "bq", "bk" };
        return code >= 1 && code <= 12 ? stems[code - 1] : nullptr;
    }

    const char* pieceAlt(int code)
    {
        static constexpr const char* alts[] = { " WP ", " WN ", " WB ", " WR ", " WQ ", " WK ",
            " BP ", " BN ", " BB ", " BR ", " BQ ", " BK " };
        return alts[code - 1];
    }

    void fileLetterRow(FragmentWriter& out, bool coordinates, const std::string& size)
    {
        const char* corner = coordinates
            ? "<TD align=\"center\" width=\"30\" height=\"30\">&nbsp;</TD>"
            : "<TD align=\"center\" width=\"20\" height=\"5\">&nbsp;</TD>";
        out.fragment("<TR>");
        out.fragment(corner);
        for (char letter = 'a'; letter <= 'h'; ++letter) {
            const char text[2] = { letter, '\0' };
            if (coordinates)
                out.fragment("<TD align=\"center\" width=\"", size,
                    "\" height=\"30\"><B><FONT color=\"black\">", text, "</FONT></B></TD>");
            else
                out.fragment("<TD align=\"center\" width=\"", size, "\" height=\"5\">&nbsp;</TD>");
        }
        out.fragment(corner);
        out.fragment("</TR>");
    }

} // namespace

BoardCodes boardCodesOf(const TChessPosition& position)
{
    BoardCodes codes {};
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            codes[static_cast<std::size_t>(8 * rank + file)]
                = position.GetPiece(squareIndex(file, rank));
    return codes;
}

HtmlSettings htmlSettingsOf(const TPictogParams& params)
{
    HtmlSettings settings;
    settings.alignment = params.alignment();
    settings.borderSize = params.borderSize();
    settings.colorLightSquares = params.colorLightSquares();
    settings.colorDarkSquares = params.colorDarkSquares();
    settings.colorDiagramBackground = params.colorDiagramBackground();
    settings.compact = params.compact();
    settings.pieceSet = params.pieceSet();
    settings.webImageBase = params.webImageBase();
    settings.localImageBase = params.localImageBase();
    settings.showBorder = params.showBorder();
    settings.coordinates = params.coordinates();
    settings.showHeader = params.showHeader();
    settings.showFooter = params.showFooter();
    settings.showSideToMove = params.showSideToMove();
    settings.showFenLine = params.showFenLine();
    settings.urlHomePage = params.urlHomePage();
    return settings;
}

std::string htmlImageBase(const HtmlSettings& settings, HtmlMode mode)
{
    if (mode == HtmlMode::Clipboard)
        return settings.webImageBase + "/";
    std::string base = "file://";
    for (const char c : settings.localImageBase)
        base += c == '\\' ? '/' : c;
    base += '/';
    return base;
}

std::string BuildHTMLCode(const HtmlSettings& settings, const Captions& captions,
    std::string_view fenLine, int moveRight, const BoardCodes& pieces, HtmlMode mode)
{
    const int imageSize = pieceImageSize(settings.pieceSet);
    const std::string S = std::to_string(imageSize);
    const std::string N = std::to_string(settings.pieceSet);
    // Two coordinate columns of 30, the side-to-move image of 29 and 6, whatever is shown.
    const std::string W = std::to_string(8 * imageSize + 95);
    const std::string B = htmlImageBase(settings, mode);
    const std::string& A = settings.alignment;
    const bool whiteToMove = moveRight == 0;

    FragmentWriter out(settings.compact);
    out.fragment("<P align=\"", A, "\">");
    out.fragment("<FONT color=\"black\">");
    if (settings.showHeader && !captions.header1.empty()) {
        out.fragment("<FONT color=\"black\" size=\"+1\"><B>", captions.header1, "</B></FONT><BR>");
        if (!captions.header2.empty())
            out.fragment("<FONT color=\"black\"><I>", captions.header2, "</I></FONT><BR>");
    }
    out.fragment("<TABLE border=\"0\" cellpadding=\"0\" cellspacing=\"3\">");
    out.fragment("<TR><TD>");
    if (settings.showBorder)
        out.fragment("<TABLE bgcolor=\"#000000\" border=\"", std::to_string(settings.borderSize),
            "\" cellpadding=\"1\" cellspacing=\"0\"><TR><TD>");
    else
        out.fragment("<TABLE border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><TR><TD>");
    out.fragment("<TABLE border=\"0\" bgcolor=\"", settings.colorDiagramBackground,
        "\" cellpadding=\"0\" cellspacing=\"0\">");

    fileLetterRow(out, settings.coordinates, S);
    for (int rank = 7; rank >= 0; --rank) {
        const char digit[2] = { static_cast<char>('1' + rank), '\0' };
        const std::string rankCell = settings.coordinates
            ? std::string("<TD align=\"center\"><B><FONT color=\"black\">&nbsp;") + digit
                + "&nbsp;</FONT></B></TD>"
            : std::string("<TD align=\"center\" width=\"20\">&nbsp;</TD>");
        out.fragment("<TR>");
        out.fragment(rankCell);
        for (int file = 0; file < 8; ++file) {
            // a1 is dark: a square is light when rank and file indexes add up to an odd number.
            const std::string& color
                = (rank + file) % 2 == 1 ? settings.colorLightSquares : settings.colorDarkSquares;
            const int code = pieces[static_cast<std::size_t>(8 * rank + file)];
            if (const char* stem = pieceStem(code))
                out.fragment("<TD bgcolor=\"", color, "\"><IMG src=\"", B, stem, N,
                    ".gif\" border=\"0\" alt=\"", pieceAlt(code), "\" width=\"", S, "\" height=\"",
                    S, "\"></TD>");
            else
                out.fragment(
                    "<TD bgcolor=\"", color, "\" width=\"", S, "\" height=\"", S, "\">&nbsp;</TD>");
        }
        out.fragment(rankCell);
        out.fragment("</TR>");
    }
    fileLetterRow(out, settings.coordinates, S);

    out.fragment("</TABLE>");
    out.fragment("</TD></TR></TABLE></TD>");
    out.fragment(whiteToMove ? "<TD valign=\"bottom\">" : "<TD valign=\"top\">");
    if (!settings.showSideToMove)
        out.fragment("&nbsp;");
    else if (whiteToMove)
        out.fragment("<IMG src=\"", B,
            "w2move.gif\" border=\"0\" alt=\" white to move \" width=\"29\" height=\"29\">");
    else
        out.fragment("<IMG src=\"", B,
            "b2move.gif\" border=\"0\" alt=\" black to move \" width=\"29\" height=\"29\">");
    out.fragment("</TD>");
    out.fragment("</TR>");
    out.fragment("<TR><TD align=\"center\" colspan=\"2\" width=\"", W,
        "\"><FONT color=\"black\" size=\"1\"><A href=\"", settings.urlHomePage,
        "\" target=\"_blank\">", VersionText, "</A></FONT></TD></TR>");
    out.fragment("</TABLE>");
    if (settings.showFooter && !captions.footer1.empty()) {
        out.fragment("<FONT color=\"black\">", captions.footer1, "</FONT><BR>");
        if (!captions.footer2.empty())
            out.fragment("<FONT color=\"black\">", captions.footer2, "</FONT><BR>");
    }
    out.fragment("</FONT>");
    if (settings.showFenLine) {
        out.fragment("</P><P align=\"", A, "\">");
        out.fragment("<FONT color=\"black\" face=\"Helvetica\" size=\"-1\">", fenLine, "</FONT>");
    }
    return out.take();
}

namespace {

    std::string base64(std::string_view bytes)
    {
        static const char Digits[]
            = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string out;
        out.reserve((bytes.size() + 2) / 3 * 4);
        for (std::size_t i = 0; i < bytes.size(); i += 3) {
            const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
            std::uint32_t v = 0;
            for (std::size_t k = 0; k < 3; ++k)
                v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
            for (std::size_t k = 0; k < 4; ++k)
                out += k <= n ? Digits[(v >> (18 - 6 * k)) & 63] : '=';
        }
        return out;
    }

} // namespace

std::string embedHtmlImages(std::string_view code, std::string_view base,
    const std::function<std::optional<std::string>(const std::string& name)>& readImage,
    std::string& missing)
{
    const std::string prefix = "<IMG src=\"" + std::string(base);
    std::string out;
    std::size_t at = 0;
    for (std::size_t found; (found = code.find(prefix, at)) != std::string_view::npos;) {
        const std::size_t nameStart = found + prefix.size();
        const std::size_t nameEnd = code.find('"', nameStart);
        if (nameEnd == std::string_view::npos)
            break;
        const std::string name(code.substr(nameStart, nameEnd - nameStart));
        const std::optional<std::string> bytes = readImage(name);
        if (!bytes) {
            missing = name;
            return {};
        }
        out.append(code, at, found - at);
        out += "<IMG src=\"data:image/gif;base64,";
        out += base64(*bytes);
        at = nameEnd;
    }
    out.append(code, at, std::string_view::npos);
    return out;
}

} // namespace pictog
