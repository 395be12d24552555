#pragma once
// The OpenGL ES driver's shader manager: interns vertex and fragment states so equal states
// share one record, and interns shaders by the pair of interned records, so equal
// configurations share one shader, registered under the key name "<vs address>_<fs address>"
// (hexadecimal) and, when the caller names it, under that name too. The interning sets only
// grow and their records never move.

#include <set>

#include "engine/video/gl/CFixedGLShader.h"
#include "engine/video/material/IShaderManager.h"

namespace pravik::video {

class CFixedGLShaderManager : public IShaderManager {
public:
    struct SHashedFragmentState {
        unsigned int hash;
        SFixedGLShaderFragmentState state;
    };
    struct SFixedGLShaderStateComparator {
        bool operator()(const SFixedGLShaderVertexState& a, const SFixedGLShaderVertexState& b) const
        {
            return a.word < b.word;
        }
        bool operator()(const SHashedFragmentState& a, const SHashedFragmentState& b) const;
    };

    // A known non-empty name wins over the states: its shader comes back unchanged.
    boost::intrusive_ptr<IShader> createShader(const char* name, const SFixedGLShaderVertexState& vs,
                                               const SFixedGLShaderFragmentState& fs);
    boost::intrusive_ptr<IShader> createEmptyShader(const char* name) override;  // next id, not registered
    // The light baker for shaders with lights, else the no-light baker.
    boost::intrusive_ptr<IBatchBaker> createBatchBaker(const IShader* shader) override;
    bool loadShaderInternal(const char*) { return false; }

    static unsigned int hashFragmentState(const SFixedGLShaderFragmentState& fs);  // h * 13 + byte
    size_t getInternedVertexStateCount() const { return m_vertexStates.size(); }
    size_t getInternedFragmentStateCount() const { return m_fragmentStates.size(); }

private:
    std::set<SFixedGLShaderVertexState, SFixedGLShaderStateComparator> m_vertexStates;
    std::set<SHashedFragmentState, SFixedGLShaderStateComparator> m_fragmentStates;
};

}  // namespace pravik::video
