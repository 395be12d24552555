#pragma once
// What every object built from a scene file carries: its uid (a string of the file, or "")
// and a database handle, which keeps the file loaded while the object lives.

#include "engine/collada/CColladaDatabase.h"

namespace pravik::collada {

class IObject {
public:
    IObject(const CColladaDatabase& db, const char* uid) : m_uid(uid ? uid : ""), m_database(db) {}
    const char* getObjectUID() const { return m_uid; }
    const CColladaDatabase& getDatabase() const { return m_database; }

protected:
    const char* m_uid;
    CColladaDatabase m_database;
};

}  // namespace pravik::collada
