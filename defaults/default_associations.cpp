// The default associations file through XmlLite, loaded at run time so that
// KVEL needs no import library for it.
#include "defaults/default_associations.h"

#include "platform/handles.h"
#include "text/system_text.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <cstdio>

namespace {

using MakeXmlObject = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// xmllite.dll from the system's folder; the objects it makes must go before
// it does.
class XmlLite {
  public:
    XmlLite() : module_(LoadLibraryExA("xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
    // A reader or writer by its maker's name; empty when there is none.
    template <typename Interface> ComOwner<Interface> Make(const char* maker) const {
        const auto make = reinterpret_cast<MakeXmlObject>(
            module_ ? GetProcAddress(module_.get(), maker) : nullptr);
        Interface* object = nullptr;
        if (!make || FAILED(make(__uuidof(Interface), reinterpret_cast<void**>(&object), nullptr)))
            object = nullptr;
        return ComOwner<Interface>(object);
    }

  private:
    ModuleOwner module_;
};

std::string StreamBytes(IStream* stream) {
    ULARGE_INTEGER size = {};
    std::string bytes;
    if (SUCCEEDED(IStream_Size(stream, &size)) && SUCCEEDED(IStream_Reset(stream))) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (FAILED(IStream_Read(stream, &bytes[0], static_cast<ULONG>(bytes.size()))))
            bytes.clear();
    }
    return bytes;
}

// Wine's XmlLite writes attribute values as they come, Windows' escapes
// them. A writer that leaves a trial "&" bare is given the values escaped,
// so that the file reads back as it was meant either way.
bool WriterEscapesValues(const XmlLite& xml) {
    const ComOwner<IXmlWriter> writer = xml.Make<IXmlWriter>("CreateXmlWriter");
    const ComOwner<IStream> stream(SHCreateMemStream(nullptr, 0));
    return writer && stream && SUCCEEDED(writer.get()->SetOutput(stream.get())) &&
           SUCCEEDED(writer.get()->WriteStartElement(nullptr, L"a", nullptr)) &&
           SUCCEEDED(writer.get()->WriteAttributeString(nullptr, L"b", nullptr, L"&")) &&
           SUCCEEDED(writer.get()->WriteEndDocument()) && SUCCEEDED(writer.get()->Flush()) &&
           StreamBytes(stream.get()).find("&amp;") != std::string::npos;
}

std::wstring AttributeText(const std::string& value, bool writerEscapes) {
    const std::wstring text = WideText(value.c_str());
    if (writerEscapes)
        return text;
    std::wstring escaped;
    for (wchar_t unit : text)
        escaped += unit == L'&'   ? L"&amp;"
                   : unit == L'<' ? L"&lt;"
                   : unit == L'>' ? L"&gt;"
                   : unit == L'"' ? L"&quot;"
                                  : std::wstring(1, unit);
    return escaped;
}

DefaultAssociationsFile Failed(UINT line, UINT column, const std::string& what) {
    // A reader that failed before the first character says 0.
    char where[48];
    snprintf(where, sizeof where, "line %u, column %u: ", line ? line : 1, column ? column : 1);
    return {{}, where + what};
}

DefaultAssociationsFile Failed(IXmlReader* reader, const std::string& what) {
    UINT line = 0, column = 0;
    reader->GetLineNumber(&line);
    reader->GetLinePosition(&column);
    return Failed(line, column, what);
}

std::string LocalName(IXmlReader* reader) {
    const wchar_t* name = L"";
    UINT length = 0;
    reader->GetLocalName(&name, &length);
    return ProgramText(name, length);
}

// The attributes of the Association the reader is on, where it was read.
DefaultAssociation ReadAssociation(IXmlReader* reader) {
    DefaultAssociation association;
    UINT line = 0, column = 0;
    reader->GetLineNumber(&line);
    reader->GetLinePosition(&column);
    association.Line = static_cast<int>(line);
    association.Column = static_cast<int>(column);
    for (HRESULT found = reader->MoveToFirstAttribute(); found == S_OK;
         found = reader->MoveToNextAttribute()) {
        const wchar_t* value = L"";
        UINT length = 0;
        reader->GetValue(&value, &length);
        const std::string name = LocalName(reader), text = ProgramText(value, length);
        if (name == "Identifier")
            association.Identifier = text;
        else if (name == "ProgId")
            association.ProgId = text;
        else if (name == "ApplicationName")
            association.ApplicationName = text;
        else if (name == "Version")
            association.Version = text;
        else if (name == "Suggested")
            association.Suggested = text == "true" || text == "1";
    }
    reader->MoveToElement();
    return association;
}

DefaultAssociationsFile ReadStream(IStream* stream) {
    const XmlLite xml;
    const ComOwner<IXmlReader> owner = xml.Make<IXmlReader>("CreateXmlReader");
    IXmlReader* reader = owner.get();
    if (!reader || !stream || FAILED(reader->SetInput(stream)))
        return {{}, "XmlLite (xmllite.dll) cannot be loaded"};
    DefaultAssociationsFile file;
    bool rooted = false;
    XmlNodeType node;
    HRESULT result;
    while ((result = reader->Read(&node)) == S_OK) {
        UINT depth = 0;
        if (node != XmlNodeType_Element || FAILED(reader->GetDepth(&depth)) || depth > 1)
            continue;
        const std::string name = LocalName(reader);
        if (depth == 0 && name != "DefaultAssociations")
            return Failed(reader, "the root element is <" + name + ">, not <DefaultAssociations>");
        rooted = true;
        if (depth == 0 || name != "Association")
            continue;
        const DefaultAssociation association = ReadAssociation(reader);
        const char* missing = association.Identifier.empty() ? "Identifier"
                              : association.ProgId.empty()   ? "ProgId"
                                                             : nullptr;
        if (missing)
            return Failed(association.Line, association.Column,
                          std::string("an Association without ") + missing);
        file.Associations.push_back(association);
    }
    if (FAILED(result)) {
        char what[64];
        snprintf(what, sizeof what, "not well-formed XML (XmlLite error 0x%08lX)",
                 static_cast<unsigned long>(result));
        return Failed(reader, what);
    }
    if (!rooted)
        return Failed(reader, "no <DefaultAssociations> element");
    return file;
}

} // namespace

std::string ComposeDefaultAssociations(const std::vector<DefaultAssociation>& associations) {
    const XmlLite xml;
    const ComOwner<IXmlWriter> owner = xml.Make<IXmlWriter>("CreateXmlWriter");
    const ComOwner<IStream> stream(SHCreateMemStream(nullptr, 0));
    IXmlWriter* writer = owner.get();
    if (!writer || !stream)
        return "";
    const bool escapes = WriterEscapesValues(xml);
    HRESULT result = writer->SetOutput(stream.get());
    auto step = [&result](HRESULT next) {
        if (SUCCEEDED(result))
            result = next;
    };
    auto attribute = [&](const wchar_t* name, const std::string& value) {
        step(writer->WriteAttributeString(nullptr, name, nullptr,
                                          AttributeText(value, escapes).c_str()));
    };
    step(writer->SetProperty(XmlWriterProperty_Indent, TRUE));
    step(writer->SetProperty(XmlWriterProperty_ByteOrderMark, FALSE));
    step(writer->WriteStartDocument(XmlStandalone_Omit));
    step(writer->WriteStartElement(nullptr, L"DefaultAssociations", nullptr));
    for (const DefaultAssociation& association : associations) {
        step(writer->WriteStartElement(nullptr, L"Association", nullptr));
        attribute(L"Identifier", association.Identifier);
        attribute(L"ProgId", association.ProgId);
        attribute(L"ApplicationName", association.ApplicationName);
        if (!association.Version.empty())
            attribute(L"Version", association.Version);
        if (association.Suggested)
            attribute(L"Suggested", "true");
        step(writer->WriteEndElement());
    }
    step(writer->WriteEndDocument());
    step(writer->Flush());
    return SUCCEEDED(result) ? StreamBytes(stream.get()) : "";
}

DefaultAssociationsFile ReadDefaultAssociations(const std::string& bytes) {
    const ComOwner<IStream> stream(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                                     static_cast<UINT>(bytes.size())));
    return ReadStream(stream.get());
}

DefaultAssociationsFile ReadDefaultAssociationsFile(const std::string& path) {
    IStream* opened = nullptr;
    if (FAILED(SHCreateStreamOnFileEx(WideText(path.c_str()).c_str(),
                                      STGM_READ | STGM_SHARE_DENY_NONE, 0, FALSE, nullptr,
                                      &opened)))
        return {{}, path + ": cannot be opened"};
    const ComOwner<IStream> stream(opened);
    return ReadStream(stream.get());
}
