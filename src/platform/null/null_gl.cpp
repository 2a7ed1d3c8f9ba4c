// The null platform's OpenGL: what the game's OpenGL calls do in a process without a
// context. Nothing is drawn or stored; a name asked for is 0 (none), which the texture
// cache and the display lists already treat as "no texture" and "no list".

#include <GL/gl.h>

extern "C" {
void GLAPIENTRY glBegin(GLenum) {}
void GLAPIENTRY glBindTexture(GLenum, GLuint) {}
void GLAPIENTRY glBlendFunc(GLenum, GLenum) {}
void GLAPIENTRY glCallList(GLuint) {}
void GLAPIENTRY glClear(GLbitfield) {}
void GLAPIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void GLAPIENTRY glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glColor4fv(const GLfloat *) {}
void GLAPIENTRY glCullFace(GLenum) {}
void GLAPIENTRY glDeleteLists(GLuint, GLsizei) {}
void GLAPIENTRY glDeleteTextures(GLsizei, const GLuint *) {}
void GLAPIENTRY glDepthFunc(GLenum) {}
void GLAPIENTRY glDepthMask(GLboolean) {}
void GLAPIENTRY glDepthRange(GLclampd, GLclampd) {}
void GLAPIENTRY glDisable(GLenum) {}
void GLAPIENTRY glDisableClientState(GLenum) {}
void GLAPIENTRY glDrawElements(GLenum, GLsizei, GLenum, const GLvoid *) {}
void GLAPIENTRY glDrawPixels(GLsizei, GLsizei, GLenum, GLenum, const GLvoid *) {}
void GLAPIENTRY glEnable(GLenum) {}
void GLAPIENTRY glEnableClientState(GLenum) {}
void GLAPIENTRY glEnd(void) {}
void GLAPIENTRY glEndList(void) {}
void GLAPIENTRY glFrontFace(GLenum) {}
void GLAPIENTRY glFrustum(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
GLuint GLAPIENTRY glGenLists(GLsizei) { return 0; }
void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures) { for (GLsizei i = 0; i < n; ++i) textures[i] = 0; }
GLenum GLAPIENTRY glGetError(void) { return 0; }
void GLAPIENTRY glGetTexImage(GLenum, GLint, GLenum, GLenum, GLvoid *) {}
void GLAPIENTRY glGetTexLevelParameteriv(GLenum, GLint, GLenum, GLint* params) { *params = 0; }
void GLAPIENTRY glLightModeli(GLenum, GLint) {}
void GLAPIENTRY glLightfv(GLenum, GLenum, const GLfloat *) {}
void GLAPIENTRY glLoadIdentity(void) {}
void GLAPIENTRY glLoadMatrixf(const GLfloat *) {}
void GLAPIENTRY glMaterialfv(GLenum, GLenum, const GLfloat *) {}
void GLAPIENTRY glMateriali(GLenum, GLenum, GLint) {}
void GLAPIENTRY glMatrixMode(GLenum) {}
void GLAPIENTRY glMultMatrixf(const GLfloat *) {}
void GLAPIENTRY glNewList(GLuint, GLenum) {}
void GLAPIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glNormalPointer(GLenum, GLsizei, const GLvoid *) {}
void GLAPIENTRY glPopAttrib(void) {}
void GLAPIENTRY glPopMatrix(void) {}
void GLAPIENTRY glPushAttrib(GLbitfield) {}
void GLAPIENTRY glPixelStorei(GLenum, GLint) {}
void GLAPIENTRY glPushMatrix(void) {}
void GLAPIENTRY glRasterPos2f(GLfloat, GLfloat) {}
// No frame to read: the caller's buffer is left as it was.
void GLAPIENTRY glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid *) {}
void GLAPIENTRY glTexCoord2f(GLfloat, GLfloat) {}
void GLAPIENTRY glTexCoordPointer(GLint, GLenum, GLsizei, const GLvoid *) {}
void GLAPIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid *) {}
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}
void GLAPIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glVertexPointer(GLint, GLenum, GLsizei, const GLvoid *) {}
void GLAPIENTRY glViewport(GLint, GLint, GLsizei, GLsizei) {}
}
