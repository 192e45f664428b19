// The formats of the command line: the default associations file (through
// XmlLite) and the tables it prints.
#include "cli/table_output.h"
#include "defaults/default_associations.h"
#include "records/app_state.h"

#include "harness/kvt.h"

namespace {

// "Identifier|ProgId|ApplicationName|Version|suggested@line:column" a line, or the error.
std::string Described(const DefaultAssociationsFile& file) {
    std::string text = file.Error;
    for (const DefaultAssociation& a : file.Associations)
        text += a.Identifier + "|" + a.ProgId + "|" + a.ApplicationName + "|" + a.Version +
                (a.Suggested ? "|suggested@" : "|@") + std::to_string(a.Line) + ":" +
                std::to_string(a.Column) + "\n";
    return text;
}

TEST(Formats, DefaultAssociationsReadOrRefusedSayingWhere) {
    const std::string fixture =
        std::string(AppState.AppDirectory) + "testdata\\default_associations.xml";
    const std::wstring utf16 = L"\xFEFF<DefaultAssociations><Association Identifier='.кв' "
                               L"ProgId='kvt文'/></DefaultAssociations>";
    const struct {
        std::string file, bytes, expected;
    } rows[] = {
        {fixture, "",
         ".htm|htmlfile|Internet Explorer||@5:4\n.txt|txtfile|Notepad||@6:4\n"
         "mailto|kvtmail.mailto|Kv Mail & Calendar||@7:4\n"
         ".pdf|kvtpdf.Document.2|Kv Reader|1|suggested@8:4\n"
         ".jpg|AppXk4q2vw7n3hd8r0yt5zp6cm1bs9xfge2a|Фото 照片||@10:4\n"},
        {fixture + "x", "", fixture + "x: cannot be opened"},
        {"", std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2),
         ".кв|kvt文|||@1:23\n"},
        {"", "<DefaultAssociations>\n <Other><Association/></Other>\n</DefaultAssociations>", ""},
        {"", "<DefaultAssociations>\n  <Association Identifier='.a' ProgId='a'>\n</Default",
         "line 3, column 10: not well-formed XML (XmlLite error 0xC00CEE23)"},
        {"", "<!DOCTYPE x [<!ENTITY e 'x'>]><x/>",
         "line 1, column 1: not well-formed XML (XmlLite error 0xC00CEE4F)"},
        {"", "plain words", "line 1, column 1: no <DefaultAssociations> element"},
        {"", "<?xml version='1.0'?>\n <Associations/>",
         "line 2, column 3: the root element is <Associations>, not <DefaultAssociations>"},
        {"", "<DefaultAssociations>\n <Association ProgId='a'/></DefaultAssociations>",
         "line 2, column 3: an Association without Identifier"},
        {"", "<DefaultAssociations><Association Identifier='.a' ProgId=''/></DefaultAssociations>",
         "line 1, column 23: an Association without ProgId"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, Described(row.file.empty() ? ReadDefaultAssociations(row.bytes)
                                                           : ReadDefaultAssociationsFile(row.file)))
            << row.file << row.bytes;
}

TEST(Formats, DefaultAssociationsWrittenAsTheImageToolDoesAndReadBack) {
    std::vector<DefaultAssociation> written = {
        {".htm", "htmlfile", "Internet Explorer", "", false, 3, 4},
        {"mailto", "kvt&<>\"mail", "Почта & 邮件 📧 Ελληνικά", "1", true, 4, 4},
    };
    const std::string file = ComposeDefaultAssociations(written);
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DefaultAssociations>\r\n"
              "  <Association Identifier=\".htm\" ProgId=\"htmlfile\" "
              "ApplicationName=\"Internet Explorer\" />\r\n"
              "  <Association Identifier=\"mailto\" ProgId=\"kvt&amp;&lt;&gt;&quot;mail\" "
              "ApplicationName=\"Почта &amp; 邮件 📧 Ελληνικά\" Version=\"1\" Suggested=\"true\" "
              "/>\r\n</DefaultAssociations>",
              file);
    EXPECT_EQ(Described({written, ""}), Described(ReadDefaultAssociations(file)));
}

TEST(Formats, TablesAndRecordsInEveryFormat) {
    const Table table{{"Extension", "Program", "Note"},
                      {{".txt", "Notepad", ""}, {".кв", "Kv \"Tool\", 文", "a\r\nb\tc\\"}, {".x"}}};
    const std::vector<RecordField> record{
        {"Type", ".txt", {}},
        {"Actions", "", {{"Verb", "Command"}, {{"open", "n.exe \"%1\""}, {"print"}}}},
        {"None", "", {{"Verb"}, {}}}};
    const struct {
        OutputFormat format;
        std::string table, record;
    } rows[] = {
        {OutputFormat::Text,
         "Extension  Program        Note\n---------  -------------  -------\n.txt       Notepad\n"
         ".кв        Kv \"Tool\", 文  a  b c\\\n.x\n",
         "Field               Value\n------------------  ----------\nType                .txt\n"
         "Actions[1].Verb     open\nActions[1].Command  n.exe \"%1\"\nActions[2].Verb     print\n"
         "Actions[2].Command\n"},
        {OutputFormat::Csv,
         "Extension,Program,Note\r\n.txt,Notepad,\r\n.кв,\"Kv \"\"Tool\"\", "
         "文\",\"a\r\nb\tc\\\"\r\n"
         ".x,,\r\n",
         "Field,Value\r\nType,.txt\r\nActions[1].Verb,open\r\nActions[1].Command,\"n.exe "
         "\"\"%1\"\"\"\r\nActions[2].Verb,print\r\nActions[2].Command,\r\n"},
        {OutputFormat::Tsv,
         "Extension\tProgram\tNote\n.txt\tNotepad\t\n.кв\tKv \"Tool\", "
         "文\ta\\r\\nb\\tc\\\\\n.x\t\t\n",
         "Field\tValue\nType\t.txt\nActions[1].Verb\topen\nActions[1].Command\tn.exe "
         "\"%1\"\nActions[2].Verb\tprint\nActions[2].Command\t\n"},
        {OutputFormat::Json,
         "[\n  {\n    \"Extension\": \".txt\",\n    \"Program\": \"Notepad\",\n    \"Note\": \"\"\n"
         "  },\n  {\n    \"Extension\": \".кв\",\n    \"Program\": \"Kv \\\"Tool\\\", 文\",\n"
         "    \"Note\": \"a\\r\\nb\\tc\\\\\"\n  },\n  {\n    \"Extension\": \".x\",\n"
         "    \"Program\": \"\",\n    \"Note\": \"\"\n  }\n]\n",
         "{\n  \"Type\": \".txt\",\n  \"Actions\": [\n    {\n      \"Verb\": \"open\",\n"
         "      \"Command\": \"n.exe \\\"%1\\\"\"\n    },\n    {\n      \"Verb\": \"print\",\n"
         "      \"Command\": \"\"\n    }\n  ],\n  \"None\": []\n}\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.table, RenderTable(table, row.format));
        EXPECT_EQ(row.record, RenderRecord(record, row.format));
    }
}

} // namespace
