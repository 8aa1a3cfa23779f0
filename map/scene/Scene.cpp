#include "map/scene/Scene.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

CScene::CScene() : m_width(1), m_height(1) {}

void CScene::Init()
{
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // a head light: GL_LIGHT0 keeps its default direction, from the viewer
    const GLfloat ambient[] = {0.25f, 0.25f, 0.25f, 1.0f};
    const GLfloat diffuse[] = {0.95f, 0.9f, 0.9f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 0.9f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 64);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 90);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CGLObject::Init();
}

void CScene::Build()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    CGLObject::Build();
}

void CScene::Draw()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    CGLObject::Draw();
}

void CScene::Resize(int width, int height)
{
    m_width = width > 0 ? width : 1;
    m_height = height > 0 ? height : 1;
    glViewport(0, 0, m_width, m_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, (double)m_width / m_height, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CScene::SetCamera(float distance, double tilt, double rotation)
{
    SetTranslation(0, 0, distance);
    SetRotation(tilt, rotation, 0);
}

ViewFrustum CScene::GetFrustum() const
{
    return ViewFrustum{kFieldOfView, kNearPlane, kFarPlane, m_width, m_height};
}

bool CScene::Project(const double point[4], double window[3]) const
{
    double eye[4] = {point[0], point[1], point[2], point[3]};
    TransformPoint(eye, 1);
    return ProjectEyePoint(GetFrustum(), eye, window);
}
