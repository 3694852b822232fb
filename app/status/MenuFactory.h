#pragma once
#include <QMenu>
#include <functional>
#include <memory>
using MenuFactory = std::function<std::unique_ptr<QMenu>()>;
