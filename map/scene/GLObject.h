// A small retained scene graph over fixed-function OpenGL. Every object owns
// its children; all of its GL work happens on the thread whose context is
// current.
#pragma once

class CGLObject {
public:
    CGLObject();
    virtual ~CGLObject();
    CGLObject(const CGLObject&) = delete;
    CGLObject& operator=(const CGLObject&) = delete;

    // Set-up that outlives display lists (lights, materials); the children's.
    virtual void Init();
    // (Re)makes display lists; the children's.
    virtual void Build();
    // ApplyTransform, then the children's Draw.
    virtual void Draw();

    // Takes ownership of `child` (null is ignored).
    void AddChild(CGLObject* child);
    // Deletes the children, the last first.
    void DeleteChildren();
    int GetChildCount() const { return m_childCount; }
    // Null out of range.
    CGLObject* GetChild(int index) const;
    CGLObject* GetParent() const { return m_parent; }

    // Applies this object's translation and rotations to a point (direction
    // >= 0), or undoes them (direction < 0): what ApplyTransform does to the
    // matrix stack.
    void TransformPoint(double point[4], int direction) const;
    // glTranslate, then glRotate about x, y and z; angles of magnitude up to
    // 1e-6 degrees are skipped.
    void ApplyTransform() const;

    void SetTranslation(float x, float y, float z);
    // Degrees.
    void SetRotation(double x, double y, double z);
    const float* GetTranslation() const { return m_translation; }
    const double* GetRotation() const { return m_rotation; }

protected:
    CGLObject* m_parent;
    float m_translation[3];
    double m_rotation[3];

private:
    CGLObject** m_children;
    int m_childCount;
    int m_childCapacity;
};

// Draws its children under a matrix of their own.
class CGLGroup : public CGLObject {
public:
    void Draw() override;
};
