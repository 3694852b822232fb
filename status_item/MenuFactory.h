#pragma once

#include <QMenu>

#include <functional>
#include <memory>

// Builds the status item's menu afresh for each request; each face asks it when it needs one.
using MenuFactory = std::function<std::unique_ptr<QMenu>()>;
