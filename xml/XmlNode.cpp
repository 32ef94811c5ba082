#include "xml/XmlNode.h"

XmlNode::~XmlNode() = default;
