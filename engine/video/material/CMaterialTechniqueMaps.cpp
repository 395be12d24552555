// Technique maps: an 8-bit XML file that tells, for named maps and groups, which technique of
// a renderer stands in for which.
//
//   <PRAVIKTECHNIQUEMAPS>
//     <default_group id="..."/>              renames group 0, before any map or group only
//     <map id="low">                         declares a map (a group inside refers: ref="...")
//       <group ref="default">                selects the pair (low, default)
//         <renderer ref="R">                 or url="file.bdae#Effect", or ref="*" for all
//           <rule from="hi" to="lo"/>        from="*" for every technique
//
// "*" is a wildcard in id, ref and from; "\*" is a literal star. Every technique of every
// renderer registered when the load starts has one byte in each pair's table, at its
// renderer's base; a new table maps every technique to itself. An error inside an element is
// logged and everything starting before that element ends is ignored.

#include "engine/video/material/CMaterialRendererManager.h"

#include "engine/IDevice.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/io/IXMLReader.h"
#include "engine/os/Printer.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <cstring>

namespace pravik::video {

namespace {

const char* const RootElement = "PRAVIKTECHNIQUEMAPS";
const char* const DefaultGroupElement = "default_group";
const char* const MapGroupElements[2] = {"map", "group"};
const char* const RendererElement = "renderer";
const char* const RuleElement = "rule";

CMaterialRendererManager::EffectFileBuilder s_effectFileBuilder = nullptr;

}  // namespace

class CMaterialTechniqueMapLoad {
public:
    using Key = std::pair<int, int>;  // map id, group id

    CMaterialTechniqueMapLoad(CMaterialRendererManager& manager, collada::CColladaFactory* factory)
        : m_manager(manager), m_factory(factory)
    {
    }

    bool load(io::IReadFile* file);

private:
    enum E_ID_REF { EIR_ID, EIR_REF };

    void setError(const char* message, const char* detail = nullptr);
    bool getIdOrRef(io::IXMLReaderUTF8& reader, E_ID_REF which, bool& wildcard, std::string& out);
    unsigned getID(int g, const std::string& name);
    void insert(Key key);
    void processDefaultGroup(io::IXMLReaderUTF8& reader);
    void processMapGroup(int g, io::IXMLReaderUTF8& reader);
    void processRenderer(io::IXMLReaderUTF8& reader);
    void processRule(io::IXMLReaderUTF8& reader);
    void endElement(const char* element);
    void applyRule(std::vector<unsigned char>& table, unsigned short renderer, const char* from, const char* to,
                   bool quiet);
    void postLoad();

    CMaterialRendererManager& m_manager;
    collada::CColladaFactory* m_factory;
    int m_current[2] = {-1, -1};
    bool m_wildcard[2] = {false, false};
    unsigned short m_renderer = 0xffff;
    bool m_rendererWildcard = false;
    bool m_error = false;
    const char* m_errorElement = nullptr;
    const char* m_element = RootElement;
    bool m_defaultGiven = false;
    std::map<Key, std::vector<unsigned char>> m_pairs;
    std::vector<unsigned char>* m_currentPair = nullptr;
};

void CMaterialTechniqueMapLoad::setError(const char* message, const char* detail)
{
    m_error = true;
    m_errorElement = m_element;
    std::string text = message;
    if (detail && *detail) text = text + ":" + detail;
    os::Printer::log(m_element, text.c_str(), ELL_ERROR);
}

bool CMaterialTechniqueMapLoad::getIdOrRef(io::IXMLReaderUTF8& reader, E_ID_REF which, bool& wildcard,
                                           std::string& out)
{
    const char* value = reader.getAttributeValue(which == EIR_ID ? "id" : "ref");
    if (!value) {
        setError(which == EIR_ID ? "missing id attribute" : "missing ref attribute");
        return false;
    }
    if (!*value) {
        setError(which == EIR_ID ? "empty id attribute" : "empty ref attribute");
        return false;
    }
    if (!std::strcmp(value, "*")) {
        wildcard = true;
        return false;
    }
    out = std::strcmp(value, "\\*") ? value : "*";
    return true;
}

unsigned CMaterialTechniqueMapLoad::getID(int g, const std::string& name)
{
    auto [at, added] = m_manager.m_mapGroupIds[g].emplace(name, unsigned(m_manager.m_mapGroupNames[g].size()));
    if (added) m_manager.m_mapGroupNames[g].push_back(name);
    return at->second;
}

void CMaterialTechniqueMapLoad::insert(Key key)
{
    auto at = m_pairs.find(key);
    if (at == m_pairs.end()) {
        std::vector<unsigned char> table(m_manager.m_techniqueTotal);
        for (auto it = m_manager.idBegin(); it != m_manager.idEnd(); ++it) {
            const int base = it->second.properties.techniqueMapBase;
            const auto& renderer = m_manager.get(it->second.id);
            if (base < 0 || !renderer) continue;
            for (unsigned char t = 0; t < renderer->getTechniqueCount(); ++t) table[size_t(base) + t] = t;
        }
        at = m_pairs.emplace(key, std::move(table)).first;
    }
    if (key == Key(m_current[0], m_current[1])) m_currentPair = &at->second;
}

void CMaterialTechniqueMapLoad::processDefaultGroup(io::IXMLReaderUTF8& reader)
{
    const auto& groups = m_manager.m_mapGroupNames[CMaterialRendererManager::EMG_GROUP];
    if (m_defaultGiven || groups.size() > 1 || !m_manager.m_mapGroupNames[CMaterialRendererManager::EMG_MAP].empty()) {
        setError("misplaced default_group");
        return;
    }
    bool wildcard = false;
    std::string name;
    const bool named = getIdOrRef(reader, EIR_ID, wildcard, name);
    if (wildcard) {
        setError("wildcard not allowed");
        return;
    }
    if (!named) return;
    m_manager.m_mapGroupIds[1].clear();
    m_manager.m_mapGroupNames[1].clear();
    getID(1, name);
    m_defaultGiven = true;
}

void CMaterialTechniqueMapLoad::processMapGroup(int g, io::IXMLReaderUTF8& reader)
{
    const int other = 1 - g;
    if (m_current[g] != -1) {
        setError("presence in wrong scope");
        return;
    }
    std::string name;
    if (m_current[other] == -1 && m_renderer == 0xffff && !m_rendererWildcard) {
        if (!getIdOrRef(reader, EIR_ID, m_wildcard[g], name)) return;
        m_current[g] = int(getID(g, name));
        if (g == CMaterialRendererManager::EMG_MAP) insert({m_current[0], 0});
        return;
    }
    if (!getIdOrRef(reader, EIR_REF, m_wildcard[g], name)) return;
    // A reference adds a name it has not met, as a declaration would.
    m_current[g] = int(getID(g, name));
    if (m_current[other] != -1) insert({m_current[0], m_current[1]});
}

void CMaterialTechniqueMapLoad::processRenderer(io::IXMLReaderUTF8& reader)
{
    if (m_renderer != 0xffff || m_rendererWildcard) {
        setError("presence in wrong scope");
        return;
    }
    std::string name;
    if (const char* url = reader.getAttributeValue("url")) {
        // Without "#" the whole text names the effect.
        const char* hash = std::strchr(url, '#');
        const std::string file = hash ? std::string(url, hash) : std::string();
        name = hash ? hash + 1 : url;
        m_renderer = m_manager.getId(name.c_str());
        if (m_renderer == 0xffff && !file.empty()) {
            auto built = s_effectFileBuilder
                             ? s_effectFileBuilder(m_manager.getVideoDriver(), file.c_str(), name.c_str(), m_factory)
                             : nullptr;
            if (!built) {
                setError("effect file not found", file.c_str());
                return;
            }
            m_renderer = built->getId();
            // Registered after the tables were laid out: its bytes go at their end.
            auto& properties = m_manager.getProperties(m_renderer);
            if (properties.techniqueMapBase < 0) {
                properties.techniqueMapBase = int(m_manager.m_techniqueTotal);
                m_manager.m_techniqueTotal += built->getTechniqueCount();
                for (auto& [key, table] : m_pairs)
                    for (unsigned char t = 0; t < built->getTechniqueCount(); ++t) table.push_back(t);
            }
        }
    } else {
        if (!reader.getAttributeValue("ref")) {
            setError("missing url or ref attribute");
            return;
        }
        if (!getIdOrRef(reader, EIR_REF, m_rendererWildcard, name)) return;
        m_renderer = m_manager.getId(name.c_str());
    }
    if (m_renderer == 0xffff || m_manager.getProperties(m_renderer).techniqueMapBase < 0) {
        m_renderer = 0xffff;
        setError("renderer not found", name.c_str());
    }
}

void CMaterialTechniqueMapLoad::applyRule(std::vector<unsigned char>& table, unsigned short id, const char* from,
                                          const char* to, bool quiet)
{
    const auto& renderer = m_manager.get(id);
    const int base = m_manager.getProperties(id).techniqueMapBase;
    if (!renderer || base < 0) return;
    const bool all = !std::strcmp(from, "*");
    const char* literalFrom = std::strcmp(from, "\\*") ? from : "*";
    const unsigned char fromT = all ? 0 : renderer->getTechniqueID(literalFrom);
    const unsigned char toT = renderer->getTechniqueID(to);
    const char* missing = toT == 255 ? to : (!all && fromT == 255 ? literalFrom : nullptr);
    if (missing) {
        if (!quiet) setError("unknown technique name", (std::string(missing) + " in renderer " + renderer->getName()).c_str());
        return;
    }
    const unsigned count = renderer->getTechniqueCount();
    if (size_t(base) + count > table.size()) return;
    for (unsigned t = 0; t < count; ++t)
        if (all || t == fromT) table[size_t(base) + t] = toT;
}

void CMaterialTechniqueMapLoad::processRule(io::IXMLReaderUTF8& reader)
{
    const bool haveRenderer = m_renderer != 0xffff || m_rendererWildcard;
    const bool havePair = m_wildcard[0] || m_wildcard[1] || (m_current[0] != -1 && m_current[1] != -1);
    if (!haveRenderer || !havePair) {
        setError("presence in wrong scope");
        return;
    }
    const char* from = reader.getAttributeValue("from");
    const char* to = reader.getAttributeValue("to");
    if (!from || !to) {
        setError("missing rule attribute", from ? "to" : "from");
        return;
    }
    std::vector<std::vector<unsigned char>*> tables;
    if (m_currentPair) {
        tables.push_back(m_currentPair);
    } else if (m_wildcard[0] && m_wildcard[1]) {
        for (auto& [key, table] : m_pairs) tables.push_back(&table);
    } else {
        const int g = m_wildcard[0] ? 0 : 1;
        for (unsigned n = 0; n < m_manager.m_mapGroupNames[g].size(); ++n) {
            const Key key = g == 0 ? Key(int(n), m_current[1]) : Key(m_current[0], int(n));
            auto at = m_pairs.find(key);
            if (at != m_pairs.end()) tables.push_back(&at->second);
        }
    }
    if (!m_rendererWildcard) {
        // A name the renderer lacks drops the rule once, whatever the pairs.
        const auto& renderer = m_manager.get(m_renderer);
        const bool all = !std::strcmp(from, "*");
        const char* literalFrom = std::strcmp(from, "\\*") ? from : "*";
        const char* missing = renderer->getTechniqueID(to) == 255                       ? to
                              : !all && renderer->getTechniqueID(literalFrom) == 255 ? literalFrom
                                                                                     : nullptr;
        if (missing) {
            setError("unknown technique name", (std::string(missing) + " in renderer " + renderer->getName()).c_str());
            return;
        }
    }
    for (auto* table : tables) {
        if (m_rendererWildcard) {
            for (auto it = m_manager.idBegin(); it != m_manager.idEnd(); ++it)
                applyRule(*table, it->second.id, from, to, true);
        } else {
            applyRule(*table, m_renderer, from, to, false);
        }
    }
}

void CMaterialTechniqueMapLoad::endElement(const char* element)
{
    for (int g = 0; g < 2; ++g) {
        if (element != MapGroupElements[g]) continue;
        m_current[g] = -1;
        m_wildcard[g] = false;
        m_currentPair = nullptr;
    }
    if (element == RendererElement) {
        m_renderer = 0xffff;
        m_rendererWildcard = false;
    }
    if (m_error && m_errorElement == element) m_error = false;
}

void CMaterialTechniqueMapLoad::postLoad()
{
    const size_t maps = m_manager.m_mapGroupNames[0].size(), groups = m_manager.m_mapGroupNames[1].size();
    const size_t total = m_manager.m_techniqueTotal;
    m_manager.m_techniqueRows.assign(maps * groups, nullptr);
    m_manager.m_techniqueTables.assign(m_pairs.size() * total, 0);
    size_t at = 0;
    for (const auto& [key, table] : m_pairs) {
        if (size_t(key.first) >= maps || size_t(key.second) >= groups) continue;
        unsigned char* out = m_manager.m_techniqueTables.data() + at * total;
        std::memcpy(out, table.data(), std::min(total, table.size()));   // a short table keeps zeros
        m_manager.m_techniqueRows[size_t(key.first) * groups + size_t(key.second)] = out;
        ++at;
    }
}

bool CMaterialTechniqueMapLoad::load(io::IReadFile* file)
{
    if (!file) return false;
    io::IXMLReaderUTF8* reader = io::createIXMLReaderUTF8(file);
    if (!reader) return false;
    struct SDrop {
        io::IXMLReaderUTF8* r;
        ~SDrop() { r->drop(); }
    } drop{reader};

    bool any = false, root = false;
    while (!root && reader->read()) {
        any = true;
        root = reader->getNodeType() == io::EXNK_ELEMENT && !std::strcmp(reader->getNodeName(), RootElement);
    }
    if (!root) {
        setError(any ? "not a Pravik Technique Maps file" : "empty document");
        return false;
    }
    m_manager.clearTechniqueMaps();
    getID(CMaterialRendererManager::EMG_GROUP, "default");

    const char* const elements[] = {DefaultGroupElement, MapGroupElements[0], MapGroupElements[1], RendererElement,
                                    RuleElement};
    auto known = [&](const char* name) -> const char* {
        for (const char* e : elements)
            if (!std::strcmp(name, e)) return e;
        return nullptr;
    };
    while (reader->read()) {
        const io::E_XML_NODE_KIND kind = reader->getNodeType();
        if (kind != io::EXNK_ELEMENT && kind != io::EXNK_ELEMENT_END) continue;
        const char* name = reader->getNodeName();
        if (kind == io::EXNK_ELEMENT_END && !std::strcmp(name, RootElement)) break;
        const char* element = known(name);
        if (!element) continue;
        if (kind == io::EXNK_ELEMENT_END) {
            endElement(element);
            continue;
        }
        if (m_error) continue;
        m_element = element;
        if (element == DefaultGroupElement) processDefaultGroup(*reader);
        else if (element == RendererElement) processRenderer(*reader);
        else if (element == RuleElement) processRule(*reader);
        else processMapGroup(element == MapGroupElements[0] ? 0 : 1, *reader);
    }
    if (!m_manager.m_mapGroupNames[0].empty()) {
        postLoad();
    } else {
        for (int g = 0; g < 2; ++g) {
            m_manager.m_mapGroupIds[g].clear();
            m_manager.m_mapGroupNames[g].clear();
        }
    }
    return true;
}

// --- the manager's side ----------------------------------------------------------------------

void CMaterialRendererManager::setEffectFileBuilder(EffectFileBuilder builder) { s_effectFileBuilder = builder; }

bool CMaterialRendererManager::loadMaterialTechniqueMaps(const char* fileName, collada::CColladaFactory* factory)
{
    IDevice* device = m_driver ? m_driver->getDevice() : nullptr;
    io::IFileSystem* fs = device ? device->getFileSystem().get() : nullptr;
    io::IReadFile* file = fs && fileName ? fs->createAndOpenFile(fileName) : nullptr;
    if (!file) return false;
    const bool loaded = loadMaterialTechniqueMaps(file, factory);
    file->drop();
    return loaded;
}

bool CMaterialRendererManager::loadMaterialTechniqueMaps(io::IReadFile* file, collada::CColladaFactory* factory)
{
    CMaterialTechniqueMapLoad load(*this, factory);
    return load.load(file);
}

void CMaterialRendererManager::clearTechniqueMaps()
{
    if (m_driver) m_driver->setTechniqueMap(this, nullptr);
    m_techniqueRows.clear();
    m_techniqueTables.clear();
    for (int g = 0; g < 2; ++g) {
        m_mapGroupIds[g].clear();
        m_mapGroupNames[g].clear();
    }
    m_techniqueTotal = 0;
    for (auto it = idBegin(); it != idEnd(); ++it) {
        auto& properties = getProperties(it->second.id);
        const auto& renderer = get(it->second.id);
        properties.techniqueMapBase = int(m_techniqueTotal);
        if (renderer) m_techniqueTotal += renderer->getTechniqueCount();
    }
}

int CMaterialRendererManager::getNameID(const char* name, int mapGroup) const
{
    if (!name || mapGroup < 0 || mapGroup > 1) return -1;
    auto at = m_mapGroupIds[mapGroup].find(name);
    return at == m_mapGroupIds[mapGroup].end() ? -1 : int(at->second);
}

unsigned CMaterialRendererManager::getNameCount(int mapGroup) const
{
    return mapGroup == 0 || mapGroup == 1 ? unsigned(m_mapGroupNames[mapGroup].size()) : 0;
}

const char* CMaterialRendererManager::getMapGroupName(int mapGroup, unsigned id) const
{
    if (mapGroup < 0 || mapGroup > 1 || id >= m_mapGroupNames[mapGroup].size()) return nullptr;
    return m_mapGroupNames[mapGroup][id].c_str();
}

const unsigned char* const* CMaterialRendererManager::getTechniqueMapRow(unsigned mapId) const
{
    const size_t groups = m_mapGroupNames[EMG_GROUP].size();
    if (m_techniqueRows.empty() || mapId >= m_mapGroupNames[EMG_MAP].size()) return nullptr;
    return m_techniqueRows.data() + size_t(mapId) * groups;
}

unsigned char CMaterialRendererManager::mapTechnique(const CMaterialRenderer& renderer, unsigned char row,
                                                     unsigned char t, const unsigned char* const* selection) const
{
    // An undeclared pair, a row beyond the groups or a renderer without bytes keeps its technique.
    if (!selection || row >= m_mapGroupNames[EMG_GROUP].size() || !selection[row]) return t;
    const unsigned short id = renderer.getId();
    if (get(id).get() != &renderer) return t;
    const int base = getProperties(id).techniqueMapBase;
    if (base < 0 || size_t(base) + t >= m_techniqueTotal) return t;
    return selection[row][size_t(base) + t];
}

}  // namespace pravik::video
