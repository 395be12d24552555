// The names under which the game reaches the framework and the effects library. Services that
// have not landed yet point at the marked stand-ins of game/standin/; when one lands, its line
// here points at the real one and the stand-in goes.
#pragma once

#include <boost/intrusive_ptr.hpp>

#include "effects/EffectImpl.h"
#include "engine/video/IBuffer.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CVertexStreams.h"
#include "framework/CAISprite.h"
#include "framework/CDataArray.h"
#include "framework/CGame.h"
#include "framework/CPad.h"
#include "framework/Trace.h"
#include "game/standin/FrameworkStandIns.h"

using ViDuzPlayer = game_standin::ViDuzPlayer;            // STAND-IN
using CStringManager = game_standin::CStringManager;      // STAND-IN
using SceneNode = game_standin::SceneNode;                // STAND-IN
using CKezManager = game_standin::CKezManager;            // STAND-IN
using CM3DRender = game_standin::CM3DRender;              // STAND-IN

using TextureHandle = boost::intrusive_ptr<pravik::video::ITexture>;
using RenderTargetHandle = boost::intrusive_ptr<pravik::video::IRenderTarget>;
using BufferHandle = boost::intrusive_ptr<pravik::video::IBuffer>;
using VertexStreamsHandle = boost::intrusive_ptr<pravik::video::CVertexStreams>;
