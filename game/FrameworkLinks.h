// The framework and effects-library services the game reaches, and the handle types it keeps.
#pragma once

#include <boost/intrusive_ptr.hpp>

#include "effects/EffectImpl.h"
#include "engine/video/IBuffer.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/scene/ISceneNode.h"
#include "framework/CAISprite.h"
#include "framework/CDataArray.h"
#include "framework/CGame.h"
#include "framework/CKezManager.h"
#include "framework/CM3DRender.h"
#include "framework/CPad.h"
#include "framework/CStringManager.h"
#include "framework/CVuvDevice.h"
#include "framework/Trace.h"
#include "framework/ViDuzPlayer.h"

using SceneNode = pravik::scene::ISceneNode;

using TextureHandle = boost::intrusive_ptr<pravik::video::ITexture>;
using RenderTargetHandle = boost::intrusive_ptr<pravik::video::IRenderTarget>;
using BufferHandle = boost::intrusive_ptr<pravik::video::IBuffer>;
using VertexStreamsHandle = boost::intrusive_ptr<pravik::video::CVertexStreams>;
