#include "Application.h"

#include <QApplication>

namespace {
Application* g_application = nullptr;
}

Application::Application() { g_application = this; }

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

Application* Application::Instance() { return g_application; }

int Application::Run() {
    if (OpenEvent) OpenEvent();
    return QApplication::exec();
}

void Application::Quit(int code) { QCoreApplication::exit(code); }
